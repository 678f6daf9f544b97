#include <gtest/gtest.h>

#include "common/plugin_wire.h"
#include "saver/common/plugin_machine.h"

#include <string>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Header(uint16_t magic, uint16_t kind, uint32_t length)
{
    return Bytes{uint8_t(magic), uint8_t(magic >> 8), uint8_t(kind), uint8_t(kind >> 8),
                 uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
}

Bytes Answer(uint32_t status, uint16_t figure, const std::string& bytes)
{
    Bytes b = {uint8_t(status), uint8_t(status >> 8), uint8_t(status >> 16), uint8_t(status >> 24),
               uint8_t(figure), uint8_t(figure >> 8)};
    for (char c : bytes) b.push_back(uint8_t(c));
    return b;
}
}

TEST(PluginWire, HeadersPassOnlyWithTheirKindsDirectionAndBounds)
{
    struct Case {
        int line;
        uint16_t magic, kind;
        uint32_t length;
        bool toHost, passes;
    } cases[] = {
        {__LINE__, kWireMagic, kWireOpen, 4 + 2, true, true},
        {__LINE__, kWireMagic, kWireOpen, 4 + 2 * kWirePathUnitsMax, true, true},
        {__LINE__, kWireMagic, kWireOpen, 4 + 2 * kWirePathUnitsMax + 2, true, false},
        {__LINE__, kWireMagic, kWireOpen, 4 + 3, true, false},   // half a UTF-16 unit
        {__LINE__, kWireMagic, kWireOpen, 4, true, false},       // no path
        {__LINE__, kWireMagic, kWireOpen, 6, false, false},      // a request toward the saver
        {__LINE__, 0x4B47, kWireOpen, 6, true, false},
        {__LINE__, kWireMagic, kWireCall, 19, true, true},
        {__LINE__, kWireMagic, kWireCall, 20, true, false},
        {__LINE__, kWireMagic, kWireCall, 0, true, false},
        {__LINE__, kWireMagic, kWireConfigure, 8, true, true},
        {__LINE__, kWireMagic, kWireConfigure, 4, true, false},
        {__LINE__, kWireMagic, kWireRelease, 0, true, true},
        {__LINE__, kWireMagic, kWireRelease, 1, true, false},
        {__LINE__, kWireMagic, kWireOpened, 6 + 65555, false, true},
        {__LINE__, kWireMagic, kWireOpened, 6 + 65556, false, false},
        {__LINE__, kWireMagic, kWireOpened, 5, false, false},
        {__LINE__, kWireMagic, kWireText, 6 + 65535, false, true},
        {__LINE__, kWireMagic, kWireText, 6 + 65536, false, false},
        {__LINE__, kWireMagic, kWireText, 0xFFFFFFFF, false, false},
        {__LINE__, kWireMagic, kWireText, 6, true, false},       // an answer toward the host
        {__LINE__, kWireMagic, kWireConfigured, 4, false, true},
        {__LINE__, kWireMagic, kWireConfigured, 6, false, false},
        {__LINE__, kWireMagic, 0x84, 0, false, false},
        {__LINE__, kWireMagic, 5, 0, true, false},
        {__LINE__, kWireMagic, 0x8001, 4, false, false},
    };
    for (const Case& c : cases) {
        const Bytes header = Header(c.magic, c.kind, c.length);
        WireHeader h = {0, 0};
        EXPECT_EQ(WireReadHeader(header.data(), c.toHost, &h), c.passes) << "line " << c.line;
        if (c.passes) {
            EXPECT_TRUE(h.kind == c.kind && h.length == c.length) << "line " << c.line;
        }
        // What passes is what is written, byte for byte.
        if (!c.passes || c.length > 0x20000) continue;
        Bytes out(kWireHeaderSize + c.length);
        const Bytes body(c.length, 'x');
        EXPECT_EQ(WirePut(out.data(), out.size(), c.kind, body.data(), c.length, nullptr, 0), out.size()) << "line " << c.line;
        EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), header) << "line " << c.line;
    }
    uint8_t small[kWireHeaderSize + 2];
    EXPECT_EQ(WirePut(small, sizeof small, kWireCall, "One", 3, nullptr, 0), 0u);   // no room
    EXPECT_EQ(WirePut(small, sizeof small, kWireOpened, "", 0, nullptr, 0), 0u);    // out of bounds
}

TEST(PluginWire, AnswersKeepTheirPromisesAndOpenRequestsNameAPath)
{
    struct Case {
        int line;
        uint16_t kind;
        Bytes body;
        bool passes;
        uint32_t status;
        uint16_t figure;
        uint32_t byteCount;
    } cases[] = {
        {__LINE__, kWireOpened, Answer(0, 60, std::string(40, 'n')), true, 0, 60, 40},
        // The block may hold more than the plug-in reported, and no bytes at all.
        {__LINE__, kWireOpened, Answer(0, 20, std::string(40, 'n')), true, 0, 20, 40},
        {__LINE__, kWireOpened, Answer(0, 60, ""), true, 0, 60, 0},
        {__LINE__, kWireOpened, Answer(41, 0, ""), true, 41, 0, 0},
        {__LINE__, kWireOpened, Answer(41, 0, "n"), false, 0, 0, 0},   // a failure with bytes
        {__LINE__, kWireOpened, Answer(40, 3, ""), false, 0, 0, 0},
        {__LINE__, kWireOpened, Answer(1, 0, ""), false, 0, 0, 0},     // no plug-in message
        {__LINE__, kWireText, Answer(45, 0, ""), false, 0, 0, 0},
        {__LINE__, kWireText, Answer(0, 12, "tttttt"), true, 0, 12, 6},   // cut to the block
        {__LINE__, kWireText, Answer(0, 5, "tttttt"), false, 0, 0, 0},    // beyond the length
        {__LINE__, kWireText, Answer(43, 0, ""), true, 43, 0, 0},
        {__LINE__, kWireConfigured, Bytes{0, 0, 0, 0}, false, 0, 0, 0},
        {__LINE__, kWireText, Bytes{0, 0, 0, 0, 4}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        WireAnswer a = {};
        EXPECT_EQ(WireReadAnswer(c.kind, c.body.data(), uint32_t(c.body.size()), &a), c.passes) << "line " << c.line;
        if (!c.passes) continue;
        EXPECT_EQ(a.status, c.status) << "line " << c.line;
        EXPECT_EQ(a.figure, c.figure) << "line " << c.line;
        EXPECT_EQ(a.byteCount, c.byteCount) << "line " << c.line;
        EXPECT_EQ(a.bytes, c.body.data() + 6) << "line " << c.line;
    }

    const struct {
        int line;
        Bytes body;
        bool passes;
        uint32_t units;
    } opens[] = {
        {__LINE__, Bytes{1, 0, 0, 0, 'C', 0, ':', 0}, true, 2},
        {__LINE__, Bytes{0, 0, 0, 0, 0x5C, 0x30}, true, 1},   // any unit but NUL
        {__LINE__, Bytes{1, 0, 0, 0, 'C', 0, 0, 0, 'x', 0}, false, 0},
        {__LINE__, Bytes{2, 0, 0, 0, 'C', 0}, false, 0},
        {__LINE__, Bytes{1, 0, 0, 0, 'C'}, false, 0},
    };
    for (const auto& o : opens) {
        WireOpen open = {};
        EXPECT_EQ(WireReadOpen(o.body.data(), uint32_t(o.body.size()), &open), o.passes) << "line " << o.line;
        if (o.passes) {
            EXPECT_TRUE(open.pathUnits == o.units && open.path == o.body.data() + 4) << "line " << o.line;
        }
    }
}

TEST(PluginMachine, TheFileHeaderPicksTheHost)
{
    auto file = [](const char* signature, uint16_t machine, uint32_t offset) {
        Bytes b(0x100, 0);
        b[0] = 'M';
        b[1] = 'Z';
        for (int i = 0; i < 4; ++i) b[0x3C + i] = uint8_t(offset >> (8 * i));
        if (offset + 6 <= b.size()) {
            for (int i = 0; i < 4; ++i) b[offset + i] = uint8_t(signature[i]);
            b[offset + 4] = uint8_t(machine);
            b[offset + 5] = uint8_t(machine >> 8);
        }
        return b;
    };
    struct Case {
        int line;
        Bytes bytes;
        size_t count;
        uint32_t offset;
        PluginMachine machine;
    } cases[] = {
        {__LINE__, file("PE\0\0", 0x014C, 0x80), 0x100, 0x80, PluginX86},
        {__LINE__, file("PE\0\0", 0x8664, 0x80), 0x100, 0x80, PluginX64},
        {__LINE__, file("PE\0\0", 0xAA64, 0x80), 0x100, 0x80, PluginNotRunnable},   // ARM64
        {__LINE__, file("PE\0\0", 0x0200, 0x80), 0x100, 0x80, PluginNotRunnable},   // Itanium
        {__LINE__, file("NE\0\0", 0x014C, 0x80), 0x100, 0x80, PluginNotRunnable},   // 16-bit
        {__LINE__, file("PE\0\0", 0x8664, 0x20), 0x100, 0, PluginNotRunnable},      // inside the DOS header
        {__LINE__, file("PE\0\0", 0x8664, 0x80), 63, 0, PluginNotRunnable},         // too short to tell
        {__LINE__, Bytes(0x100, 'x'), 0x100, 0, PluginNotRunnable},
    };
    for (const Case& c : cases) {
        const uint32_t offset = PeHeaderOffset(c.bytes.data(), c.count);
        EXPECT_EQ(offset, c.offset) << "line " << c.line;
        EXPECT_EQ(offset ? PeMachine(c.bytes.data() + offset) : PluginNotRunnable, c.machine) << "line " << c.line;
    }
}
