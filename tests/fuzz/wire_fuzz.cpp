// Fuzz target of the saver-host messages: a stream of bytes read as the
// host reads requests and as the saver reads answers. Whatever passes a
// header must keep within its body, every accepted answer must hold its
// promises, a message written back must pass again unchanged, and the
// file-header reading must never look outside what it is given.
#include "common/plugin_wire.h"
#include "saver/common/plugin_machine.h"

#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

void Body(uint16_t kind, const uint8_t* body, uint32_t length)
{
    WireAnswer answer;
    if (WireReadAnswer(kind, body, length, &answer)) {
        Require(answer.bytes == body + kWireAnswerFixed && answer.byteCount == length - kWireAnswerFixed);
        Require(answer.status == 0 || answer.byteCount == 0);
        if (kind == kWireText) Require(answer.byteCount <= answer.figure);
    }
    WireOpen open;
    if (kind == kWireOpen && WireReadOpen(body, length, &open)) {
        Require(open.pathUnits >= 1 && 4 + 2 * open.pathUnits == length && open.askNames <= 1);
    }
    // Written back, the message reads the same.
    uint8_t* again = static_cast<uint8_t*>(std::malloc(kWireHeaderSize + length));
    const size_t size = WirePut(again, kWireHeaderSize + length, kind, body, length, nullptr, 0);
    Require(size == kWireHeaderSize + length);
    WireHeader h;
    Require(WireReadHeader(again, (kind & 0x80) == 0, &h) && h.kind == kind && h.length == length);
    Require(std::memcmp(again + kWireHeaderSize, body, length) == 0);
    std::free(again);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* at = data;
    size_t left = size;
    while (left >= kWireHeaderSize) {
        WireHeader h;
        const bool toHost = (at[2] & 1) != 0;   // both directions, picked by the input
        if (!WireReadHeader(at, toHost, &h) && !WireReadHeader(at, !toHost, &h)) break;
        Require(h.length <= kWireBodyMax);
        if (left - kWireHeaderSize < h.length) break;
        // The body in a block of exactly its size, so a read past it shows.
        uint8_t* body = static_cast<uint8_t*>(std::malloc(h.length ? h.length : 1));
        std::memcpy(body, at + kWireHeaderSize, h.length);
        Body(h.kind, body, h.length);
        std::free(body);
        at += kWireHeaderSize + h.length;
        left -= kWireHeaderSize + h.length;
    }

    uint8_t* head = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    std::memcpy(head, data, size);
    const uint32_t offset = PeHeaderOffset(head, size);
    if (offset && offset + kPeSignatureBytes <= size) {
        const PluginMachine machine = PeMachine(head + offset);
        Require(machine == PluginNotRunnable || std::memcmp(head + offset, "PE\0\0", 4) == 0);
    }
    std::free(head);
    return 0;
}
