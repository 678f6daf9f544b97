// Fuzz target of the saver-host messages, read as a stream in both
// directions: whatever passes a header must keep within its body, an
// accepted answer must hold its promises, a message written back must read
// the same; and the file-header reading must stay within what it is given.
#include "common/plugin_wire.h"
#include "saver/common/plugin_machine.h"

#include <cstdlib>
#include <cstring>

#define REQUIRE(c) \
    if (!(c)) __builtin_trap()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (size_t at = 0; size - at >= kWireHeaderSize;) {
        WireHeader h;
        if (!WireReadHeader(data + at, (data[at + 2] & 0x80) == 0, &h) || size - at - kWireHeaderSize < h.length) break;
        // The body in a block of exactly its size, so a read past it shows.
        uint8_t* body = static_cast<uint8_t*>(std::malloc(kWireHeaderSize + h.length));
        std::memcpy(body, data + at + kWireHeaderSize, h.length);
        WireAnswer a;
        if (WireReadAnswer(h.kind, body, h.length, &a))
            REQUIRE(a.byteCount == h.length - kWireAnswerFixed && (a.status == 0 || a.byteCount == 0) &&
                    (h.kind != kWireText || a.byteCount <= a.figure));
        WireOpen o;
        if (h.kind == kWireOpen && WireReadOpen(body, h.length, &o)) REQUIRE(4 + 2 * o.pathUnits == h.length);
        uint8_t* again = static_cast<uint8_t*>(std::malloc(kWireHeaderSize + h.length));
        REQUIRE(WirePut(again, kWireHeaderSize + h.length, h.kind, body, h.length, nullptr, 0) ==
                kWireHeaderSize + h.length);
        REQUIRE(std::memcmp(again, data + at, kWireHeaderSize + h.length) == 0);
        std::free(again);
        std::free(body);
        at += kWireHeaderSize + h.length;
    }
    uint8_t* head = static_cast<uint8_t*>(std::malloc(size + 1));
    std::memcpy(head, data, size);
    const uint32_t offset = PeHeaderOffset(head, size);
    if (offset && size >= kPeSignatureBytes && offset <= size - kPeSignatureBytes && PeMachine(head + offset))
        REQUIRE(std::memcmp(head + offset, "PE\0\0", 4) == 0);
    std::free(head);
    return 0;
}
