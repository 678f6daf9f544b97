// The conversation between the saver (or its settings page) and a plug-in
// host: the saver asks, the host answers, one message at a time over a
// pair of pipes. Every message is an 8-byte header (magic, kind, body
// length) and a body whose length each kind bounds tightly; whoever reads
// a header it does not like ends the conversation rather than guess.
// Numbers are little-endian.
#pragma once
#include <cstddef>
#include <cstdint>

enum : uint16_t {
    kWireMagic = 0x474B,   // "KG"

    // Saver to host.
    kWireOpen = 1,        // u32 askNames, library path in UTF-16 without terminator
    kWireCall = 2,        // a procedure name, 1..19 bytes, no NUL
    kWireConfigure = 3,   // u64 owner window
    kWireRelease = 4,     // empty: let the library go and end

    // Host to saver.
    kWireOpened = 0x81,       // u32 status, u16 names size as reported, names block bytes
    kWireText = 0x82,         // u32 status, u16 text length as returned, text bytes
    kWireConfigured = 0x83,   // u32 status
};

enum : uint32_t {
    kWireHeaderSize = 8,
    kWireAnswerFixed = 6,          // status and the 16-bit figure before the bytes
    kWirePathUnitsMax = 32767,     // the longest path the platform opens
    // A names block is walked up to the reported size plus one entry's
    // bytes, so the host never needs to send more than this of it.
    kWireNamesBytesMax = 65535 + 20,
    kWireTextBytesMax = 65535,     // a text length is 16 bits wide
    // No body of any kind may come near a words file's size: a body this
    // large is refused whatever its kind says.
    kWireBodyMax = 4 * 1024 * 1024,
};

struct WireHeader {
    uint16_t kind;
    uint32_t length;
};

// Checks the 8 header bytes of a message travelling toward the host
// (toHost) or toward the saver: the magic, a kind that goes that way, and
// a length within that kind's bounds. False for anything else.
bool WireReadHeader(const uint8_t header[kWireHeaderSize], bool toHost, WireHeader* out);

// Writes a header and a body made of two parts (fixed fields, then bytes)
// into out. Returns the whole message size, or 0 when it does not fit or
// the header would not pass WireReadHeader.
size_t WirePut(uint8_t* out, size_t outSize, uint16_t kind, const void* fixed, uint32_t fixedSize,
               const void* bytes, uint32_t byteCount);

// The body of an answer that carries bytes (kWireOpened, kWireText).
struct WireAnswer {
    uint32_t status;      // 0, or the number of the message the caller reports
    uint16_t figure;      // the names size or text length the plug-in gave
    const uint8_t* bytes;
    uint32_t byteCount;
};
// False when the body does not hold what its kind promises: a failure
// with bytes behind it, a status that is no plug-in message, or text
// bytes beyond the length the plug-in gave.
bool WireReadAnswer(uint16_t kind, const uint8_t* body, uint32_t length, WireAnswer* out);

// The body of kWireOpen. The path points into the body (UTF-16 units,
// little-endian, possibly unaligned); false for an empty path or one with
// a NUL inside.
struct WireOpen {
    uint32_t askNames;
    const uint8_t* path;
    uint32_t pathUnits;
};
bool WireReadOpen(const uint8_t* body, uint32_t length, WireOpen* out);

// Status of kWireConfigured, or the owner window of kWireConfigure.
uint32_t WireReadU32(const uint8_t* bytes);
uint64_t WireReadU64(const uint8_t* bytes);
void WirePutU32(uint8_t* bytes, uint32_t value);
void WirePutU64(uint8_t* bytes, uint64_t value);
