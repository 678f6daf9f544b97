#include "common/plugin_wire.h"

#include <cstring>

namespace {
// The statuses a host may answer with: the plug-in messages, nothing else,
// so a garbled answer can never make the saver report something unrelated.
bool IsPluginStatus(uint32_t status)
{
    return status == 0 || (status >= 40 && status <= 44);
}

bool LengthFits(uint16_t kind, uint32_t length)
{
    if (length > kWireBodyMax) return false;
    switch (kind) {
    case kWireOpen:
        return length >= 4 + 2 && length <= 4 + 2 * kWirePathUnitsMax && (length - 4) % 2 == 0;
    case kWireCall:
        return length >= 1 && length <= 19;
    case kWireConfigure:
        return length == 8;
    case kWireRelease:
        return length == 0;
    case kWireOpened:
        return length >= kWireAnswerFixed && length <= kWireAnswerFixed + kWireNamesBytesMax;
    case kWireText:
        return length >= kWireAnswerFixed && length <= kWireAnswerFixed + kWireTextBytesMax;
    case kWireConfigured:
        return length == 4;
    default:
        return false;
    }
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
}

uint32_t WireReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t WireReadU64(const uint8_t* p)
{
    return static_cast<uint64_t>(WireReadU32(p)) | (static_cast<uint64_t>(WireReadU32(p + 4)) << 32);
}

void WirePutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void WirePutU64(uint8_t* p, uint64_t v)
{
    WirePutU32(p, static_cast<uint32_t>(v));
    WirePutU32(p + 4, static_cast<uint32_t>(v >> 32));
}

bool WireReadHeader(const uint8_t header[kWireHeaderSize], bool toHost, WireHeader* out)
{
    if (ReadU16(header) != kWireMagic) return false;
    const uint16_t kind = ReadU16(header + 2);
    const bool answer = (kind & 0x80) != 0;
    if (answer == toHost) return false;
    const uint32_t length = WireReadU32(header + 4);
    if (!LengthFits(kind, length)) return false;
    out->kind = kind;
    out->length = length;
    return true;
}

size_t WirePut(uint8_t* out, size_t outSize, uint16_t kind, const void* fixed, uint32_t fixedSize,
               const void* bytes, uint32_t byteCount)
{
    if (fixedSize > kWireBodyMax || byteCount > kWireBodyMax - fixedSize) return 0;
    const uint32_t length = fixedSize + byteCount;
    if (!LengthFits(kind, length) || outSize < kWireHeaderSize || outSize - kWireHeaderSize < length) return 0;
    out[0] = static_cast<uint8_t>(kWireMagic & 0xFF);
    out[1] = static_cast<uint8_t>(kWireMagic >> 8);
    out[2] = static_cast<uint8_t>(kind & 0xFF);
    out[3] = static_cast<uint8_t>(kind >> 8);
    WirePutU32(out + 4, length);
    if (fixedSize) std::memcpy(out + kWireHeaderSize, fixed, fixedSize);
    if (byteCount) std::memcpy(out + kWireHeaderSize + fixedSize, bytes, byteCount);
    return kWireHeaderSize + length;
}

bool WireReadAnswer(uint16_t kind, const uint8_t* body, uint32_t length, WireAnswer* out)
{
    if ((kind != kWireOpened && kind != kWireText) || !LengthFits(kind, length)) return false;
    out->status = WireReadU32(body);
    out->figure = ReadU16(body + 4);
    out->bytes = body + kWireAnswerFixed;
    out->byteCount = length - kWireAnswerFixed;
    if (!IsPluginStatus(out->status)) return false;
    if (out->status != 0 && (out->byteCount != 0 || out->figure != 0)) return false;
    if (kind == kWireText && out->byteCount > out->figure) return false;
    return true;
}

bool WireReadOpen(const uint8_t* body, uint32_t length, WireOpen* out)
{
    if (!LengthFits(kWireOpen, length)) return false;
    out->askNames = WireReadU32(body);
    out->path = body + 4;
    out->pathUnits = (length - 4) / 2;
    if (out->askNames > 1) return false;
    for (uint32_t i = 0; i < out->pathUnits; ++i)
        if (ReadU16(out->path + 2 * i) == 0) return false;
    return true;
}
