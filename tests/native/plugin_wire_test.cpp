#include <gtest/gtest.h>

#include "common/plugin_wire.h"
#include "saver/common/plugin_machine.h"

#include <string>

namespace {
using Bytes = std::basic_string<uint8_t>;
Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Le(uint64_t v, int n)
{
    Bytes b;
    for (int i = 0; i < n; ++i) b += uint8_t(v >> (8 * i));
    return b;
}
}

// Each header row is also written back with WirePut when it passes, and
// must come out byte for byte; each body row is read as its kind says.
TEST(PluginWire, MessagesPassOnlyWithTheirKindDirectionBoundsAndPromises)
{
    const struct {
        int line;
        uint16_t magic, kind;
        uint32_t length;
        bool toHost, passes;
    } headers[] = {
        {__LINE__, kWireMagic, kWireOpen, 6, true, true},
        {__LINE__, kWireMagic, kWireOpen, 4 + 2 * 32767, true, true},
        {__LINE__, kWireMagic, kWireOpen, 4 + 2 * 32768, true, false},
        {__LINE__, kWireMagic, kWireOpen, 7, true, false},   // half a UTF-16 unit
        {__LINE__, kWireMagic, kWireOpen, 6, false, false},  // a request toward the saver
        {__LINE__, 0x4B47, kWireOpen, 6, true, false},
        {__LINE__, kWireMagic, kWireCall, 19, true, true},
        {__LINE__, kWireMagic, kWireCall, 20, true, false},
        {__LINE__, kWireMagic, kWireOpened, 6 + 65555, false, true},
        {__LINE__, kWireMagic, kWireOpened, 6 + 65556, false, false},
        {__LINE__, kWireMagic, kWireText, 6 + 65535, false, true},
        {__LINE__, kWireMagic, kWireText, 6 + 65536, false, false},
        {__LINE__, kWireMagic, kWireText, 0xFFFFFFFF, false, false},
        {__LINE__, kWireMagic, kWireText, 6, true, false},   // an answer toward the host
    };
    for (const auto& c : headers) {
        const Bytes header = Le(c.magic, 2) + Le(c.kind, 2) + Le(c.length, 4);
        WireHeader h = {0, 0};
        EXPECT_EQ(WireReadHeader(header.data(), c.toHost, &h), c.passes) << "line " << c.line;
        if (!c.passes || c.length > 0x20000) continue;
        EXPECT_TRUE(h.kind == c.kind && h.length == c.length) << "line " << c.line;
        Bytes out(kWireHeaderSize + c.length, 0);
        const Bytes body(c.length, 'x');
        EXPECT_EQ(WirePut(&out[0], out.size(), c.kind, nullptr, 0, body.data(), c.length), out.size()) << c.line;
        EXPECT_EQ(out.substr(0, 8), header) << "line " << c.line;
    }
    uint8_t small[kWireHeaderSize + 2];
    EXPECT_EQ(WirePut(small, sizeof small, kWireCall, "One", 3, nullptr, 0), 0u);   // no room

    const struct {
        int line;
        uint16_t kind;
        Bytes body;
        bool passes;
        uint32_t count;   // bytes after the fixed fields, or path units
    } bodies[] = {
        // A names block may hold more than reported, or nothing at all.
        {__LINE__, kWireOpened, Le(0, 4) + Le(20, 2) + B(std::string(40, 'n')), true, 40},
        {__LINE__, kWireOpened, Le(0, 4) + Le(60, 2), true, 0},
        {__LINE__, kWireOpened, Le(41, 4) + Le(0, 2), true, 0},
        {__LINE__, kWireOpened, Le(41, 4) + Le(0, 2) + B("n"), false, 0},   // a failure with bytes
        {__LINE__, kWireOpened, Le(1, 4) + Le(0, 2), false, 0},              // no plug-in message
        {__LINE__, kWireText, Le(0, 4) + Le(12, 2) + B("tttttt"), true, 6},   // cut to the block
        {__LINE__, kWireText, Le(0, 4) + Le(5, 2) + B("tttttt"), false, 0},   // beyond the length
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("C\0:\0", 4)), true, 2},
        {__LINE__, kWireOpen, Le(0, 4) + B("\\\x30"), true, 1},             // any unit but NUL
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("C\0\0\0x\0", 6)), false, 0},
        {__LINE__, kWireOpen, Le(2, 4) + B(std::string("C\0", 2)), false, 0},
    };
    for (const auto& c : bodies) {
        WireAnswer a = {};
        WireOpen o = {};
        const uint32_t n = uint32_t(c.body.size());
        const bool passes = c.kind == kWireOpen ? WireReadOpen(c.body.data(), n, &o) : WireReadAnswer(c.kind, c.body.data(), n, &a);
        EXPECT_EQ(passes, c.passes) << "line " << c.line;
        if (passes) EXPECT_EQ(c.kind == kWireOpen ? o.pathUnits : a.byteCount, c.count) << "line " << c.line;
    }
}

TEST(PluginMachine, TheFileHeaderPicksTheHost)
{
    const struct {
        int line;
        std::string signature;
        uint16_t machine;
        uint32_t offset;
        size_t count;
        PluginMachine expected;
    } cases[] = {
        {__LINE__, std::string("PE\0\0", 4), 0x014C, 0x80, 0x100, PluginX86},
        {__LINE__, std::string("PE\0\0", 4), 0xAA64, 0x80, 0x100, PluginNotRunnable},   // ARM64
        {__LINE__, std::string("NE\0\0", 4), 0x014C, 0x80, 0x100, PluginNotRunnable},   // 16-bit
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x20, 0x100, PluginNotRunnable},   // inside the DOS header
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x80, 63, PluginNotRunnable},      // too short to tell
    };
    for (const auto& c : cases) {
        Bytes file = B("MZ") + Bytes(0x3A, 0) + Le(c.offset, 4) + Bytes(0xC0, 0);
        file.replace(c.offset, 6, B(c.signature) + Le(c.machine, 2));
        const uint32_t at = PeHeaderOffset(file.data(), c.count);
        EXPECT_EQ(at ? PeMachine(file.data() + at) : PluginNotRunnable, c.expected) << "line " << c.line;
    }
}
