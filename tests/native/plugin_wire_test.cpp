#include <gtest/gtest.h>

#include "common/plugin_wire.h"
#include "saver/common/plugin_machine.h"

#include <algorithm>
#include <string>
#include <vector>

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
// must come out byte for byte; each body row is read as its kind says,
// answers after a round trip through WirePut as fixed part and bytes.
TEST(PluginWire, MessagesPassOnlyWithTheirKindDirectionBoundsAndPromises)
{
    struct Header { int line; uint16_t magic, kind; uint32_t length; bool toHost, passes; };
    std::vector<Header> headers = {
        {__LINE__, kWireMagic, kWireOpen, 7, true, false},   // half a UTF-16 unit
        {__LINE__, kWireMagic, kWireOpen, 6, false, false},  // a request toward the saver
        {__LINE__, 0x4B47, kWireOpen, 6, true, false},
        {__LINE__, kWireMagic, kWireText, 0xFFFFFFFF, false, false},
        {__LINE__, kWireMagic, kWireText, 6, true, false},   // an answer toward the host
        {__LINE__, kWireMagic, 0, 0, true, false}, {__LINE__, kWireMagic, 5, 0, true, false}, {__LINE__, kWireMagic, 0x84, 0, false, false},
    };
    // Each kind's least and most body length, exactly and one step beyond (a whole UTF-16 unit
    // for a path; under an Open's least is an empty path, under a Call's an empty name).
    const struct { int line; uint16_t kind; bool toHost; uint32_t least, most, step; } bounds[] = {
        {__LINE__, kWireOpen, true, 6, 4 + 2 * 32767, 2}, {__LINE__, kWireCall, true, 1, 19, 1},
        {__LINE__, kWireConfigure, true, 8, 8, 1},       {__LINE__, kWireRelease, true, 0, 0, 1},
        {__LINE__, kWireOpened, false, 6, 6 + 65555, 1},  {__LINE__, kWireText, false, 6, 6 + 65535, 1},
        {__LINE__, kWireConfigured, false, 4, 4, 1},
    };
    for (const auto& b : bounds)
        for (uint32_t length : {b.least - b.step, b.least, b.most, b.most + b.step})
            if (length <= b.most + b.step)
                headers.push_back({b.line, kWireMagic, b.kind, length, b.toHost, length >= b.least && length <= b.most});
    for (const auto& c : headers) {
        const Bytes header = Le(c.magic, 2) + Le(c.kind, 2) + Le(c.length, 4);
        WireHeader h = {0, 0};
        EXPECT_EQ(WireReadHeader(header.data(), c.toHost, &h), c.passes) << "line " << c.line << ", length " << c.length;
        if (!c.passes || c.length > 0x20000) continue;
        EXPECT_TRUE(h.kind == c.kind && h.length == c.length) << "line " << c.line;
        Bytes out(kWireHeaderSize + c.length, 0);
        const Bytes body(c.length, 'x');
        EXPECT_EQ(WirePut(&out[0], out.size(), c.kind, nullptr, 0, body.data(), c.length), out.size()) << c.line;
        EXPECT_EQ(out.substr(0, 8), header) << "line " << c.line;
    }
    uint8_t small[kWireHeaderSize + 2];
    EXPECT_EQ(WirePut(small, sizeof small, kWireCall, "One", 3, nullptr, 0), 0u);   // no room
    EXPECT_EQ(WirePut(small, sizeof small, kWireCall, "On", 2, nullptr, 0), sizeof small);
    EXPECT_EQ(WirePut(small, kWireHeaderSize - 1, kWireRelease, nullptr, 0, nullptr, 0), 0u);
    // A Configure's owner window, every byte in its place.
    uint8_t owner[8];
    WirePutU64(owner, 0x8877665544332211ull);
    EXPECT_TRUE(Bytes(owner, 8) == Le(0x8877665544332211ull, 8) && WireReadU64(owner) == 0x8877665544332211ull);

    const struct {
        int line;
        uint16_t kind;
        Bytes body;
        bool passes;
        uint32_t count;   // bytes after the fixed fields, or path units
    } bodies[] = {
        // A names block may hold more than reported, or nothing at all.
        {__LINE__, kWireOpened, Le(0, 4) + Le(20, 2) + B(std::string(40, 'n')), true, 40},
        {__LINE__, kWireOpened, Le(0, 4) + Le(0xBEEF, 2), true, 0},
        {__LINE__, kWireOpened, Le(41, 4) + Le(0, 2), true, 0},
        {__LINE__, kWireOpened, Le(41, 4) + Le(0, 2) + B("n"), false, 0},   // a failure with bytes
        {__LINE__, kWireOpened, Le(41, 4) + Le(1, 2), false, 0},             // ... or a figure
        {__LINE__, kWireOpened, Le(1, 4) + Le(0, 2), false, 0},              // no plug-in message
        {__LINE__, kWireOpened, Le(39, 4) + Le(0, 2), false, 0}, {__LINE__, kWireOpened, Le(40, 4) + Le(0, 2), true, 0},
        {__LINE__, kWireText, Le(44, 4) + Le(0, 2), true, 0}, {__LINE__, kWireText, Le(45, 4) + Le(0, 2), false, 0},
        {__LINE__, kWireText, Le(0x10000 + 40, 4) + Le(0, 2), false, 0},
        {__LINE__, kWireText, Le(0, 4) + Le(12, 2) + B("tttttt"), true, 6},   // cut to the block
        {__LINE__, kWireText, Le(0, 4) + Le(7, 2) + B("tttttt"), true, 6},
        {__LINE__, kWireText, Le(0, 4) + Le(6, 2) + B("tttt\x81\x40"), true, 6},   // exactly its length
        {__LINE__, kWireText, Le(0, 4) + Le(5, 2) + B("tttttt"), false, 0},   // beyond the length
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("C\0:\0", 4)), true, 2},
        {__LINE__, kWireOpen, Le(0, 4) + B("\\\x30"), true, 1},             // any unit but NUL
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("C\0\0\0x\0", 6)), false, 0},
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("C\0\0\0", 4)), false, 0},   // a NUL last
        {__LINE__, kWireOpen, Le(1, 4) + B(std::string("\0\x01", 2)), true, 1},     // its high byte counts
        {__LINE__, kWireOpen, Le(2, 4) + B(std::string("C\0", 2)), false, 0},
    };
    for (const auto& c : bodies) {
        WireAnswer a = {};
        WireOpen o = {};
        const uint32_t n = uint32_t(c.body.size());
        const bool open = c.kind == kWireOpen;
        Bytes message(kWireHeaderSize + n, 0);
        if (!open)
            EXPECT_EQ(WirePut(&message[0], message.size(), c.kind, c.body.data(), 6, c.body.data() + 6, n - 6), message.size())
                << "line " << c.line;
        const bool passes = open ? WireReadOpen(c.body.data(), n, &o) : WireReadAnswer(c.kind, &message[kWireHeaderSize], n, &a);
        EXPECT_EQ(passes, c.passes) << "line " << c.line;
        if (!passes) continue;
        EXPECT_EQ(open ? o.pathUnits : a.byteCount, c.count) << "line " << c.line;
        if (!open) EXPECT_EQ(Le(a.status, 4) + Le(a.figure, 2) + Bytes(a.bytes, a.byteCount), c.body) << "line " << c.line;
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
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x80, 64, PluginX64},              // the DOS header exactly
        {__LINE__, std::string("PF\0\0", 4), 0x014C, 0x80, 0x100, PluginNotRunnable},
        {__LINE__, std::string("PE\1\0", 4), 0x014C, 0x80, 0x100, PluginNotRunnable},
        {__LINE__, std::string("PE\0\1", 4), 0x014C, 0x80, 0x100, PluginNotRunnable},
        // Right after the DOS header, one byte inside it, and far into the file.
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x40, 0x100, PluginX64},
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x3F, 0x100, PluginNotRunnable},
        {__LINE__, std::string("PE\0\0", 4), 0x014C, 0x100, 0x100, PluginX86},
        {__LINE__, std::string("PE\0\0", 4), 0x8664, 0x10040, 0x100, PluginX64},
    };
    for (const auto& c : cases) {
        Bytes file = B("MZ") + Bytes(0x3A, 0) + Le(c.offset, 4);
        file.resize(std::max<size_t>(0x100, c.offset + 6), 0);
        if (c.offset + 6 <= 0x3C || c.offset >= 0x40) file.replace(c.offset, 6, B(c.signature) + Le(c.machine, 2));
        const uint32_t at = PeHeaderOffset(file.data(), c.count);
        EXPECT_EQ(at ? PeMachine(file.data() + at) : PluginNotRunnable, c.expected) << "line " << c.line;
    }
    // Far beyond any file a linker writes, and files that are no program.
    for (uint32_t offset : {0x0FFFFFFFu, 0x10000000u, 0x10000001u})
        EXPECT_EQ(PeHeaderOffset((B("MZ") + Bytes(0x3A, 0) + Le(offset, 4)).data(), 64), offset < 0x10000001u ? offset : 0);
    for (const char* mz : {"MQ", "QZ"}) EXPECT_EQ(PeHeaderOffset((B(mz) + Bytes(0x3A, 0) + Le(0x80, 4)).data(), 64), 0u);
}
