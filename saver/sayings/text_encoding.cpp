#include "saver/sayings/text_encoding.h"

namespace {
const uint32_t kBroken = 0xFFFFFFFFu;

// One UTF-8 character at p (left bytes remain, at least one): its code
// point, or kBroken for an ill-formed sequence, and the bytes it takes. A
// broken sequence takes only its longest well-formed beginning, so the byte
// that broke it starts the next step and no good character is swallowed.
uint32_t Utf8Step(const unsigned char* p, uint32_t left, uint32_t* codePoint)
{
    const unsigned char b = p[0];
    if (b < 0x80) {
        *codePoint = b;
        return 1;
    }
    uint32_t need = 0;
    uint32_t value = 0;
    unsigned char low = 0x80, high = 0xBF;   // the second byte's range
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        value = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        value = b & 0x0Fu;
        if (b == 0xE0) low = 0xA0;    // overlong
        if (b == 0xED) high = 0x9F;   // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        value = b & 0x07u;
        if (b == 0xF0) low = 0x90;    // overlong
        if (b == 0xF4) high = 0x8F;   // past U+10FFFF
    } else {
        *codePoint = kBroken;
        return 1;
    }
    uint32_t i = 1;
    for (; i <= need && i < left; ++i) {
        if (p[i] < low || p[i] > high) break;
        low = 0x80;
        high = 0xBF;
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (i <= need) {
        *codePoint = kBroken;
        return i;
    }
    *codePoint = value;
    return need + 1;
}

// Editors outside Windows write a few Japanese marks with the code points
// of the JIS standard, where Windows' Shift-JIS has its own: a wave dash
// typed as U+301C is the same mark as the Windows one at 81 60. Taken as
// they come they have no Shift-JIS form and would show as stand-ins.
uint16_t WindowsForm(uint16_t unit)
{
    static const uint16_t kPairs[][2] = {
        {0x00A2, 0xFFE0},   // cent
        {0x00A3, 0xFFE1},   // pound
        {0x00A6, 0xFFE4},   // broken bar
        {0x00AC, 0xFFE2},   // not
        {0x2014, 0x2015},   // dash
        {0x2016, 0x2225},   // double vertical line
        {0x2212, 0xFF0D},   // minus
        {0x301C, 0xFF5E},   // wave dash
    };
    for (const auto& pair : kPairs)
        if (pair[0] == unit) return pair[1];
    return unit;
}

bool StartsWith(const unsigned char* p, uint32_t length, const char* mark, uint32_t markLength)
{
    if (length < markLength) return false;
    for (uint32_t i = 0; i < markLength; ++i)
        if (p[i] != static_cast<unsigned char>(mark[i])) return false;
    return true;
}
}

WordsEncoding DetectWordsEncoding(const char* bytes, uint32_t length, uint32_t* textStart)
{
    *textStart = 0;
    if (bytes == nullptr) return WordsShiftJis;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    if (StartsWith(p, length, "\xEF\xBB\xBF", 3)) {
        *textStart = 3;
        return WordsUtf8;
    }
    if (StartsWith(p, length, "\xFF\xFE", 2)) {
        *textStart = 2;
        return WordsUtf16Le;
    }
    if (StartsWith(p, length, "\xFE\xFF", 2)) {
        *textStart = 2;
        return WordsUtf16Be;
    }
    bool unicodeOnly = false;
    uint32_t at = 0;
    while (at < length) {
        uint32_t codePoint = 0;
        uint32_t step = Utf8Step(p + at, length - at, &codePoint);
        if (codePoint == kBroken) return WordsShiftJis;
        // C2-DF then A1-BF is also two half-width katakana in Shift-JIS.
        if (step > 2 || (step == 2 && p[at + 1] <= 0xA0)) unicodeOnly = true;
        at += step;
    }
    return unicodeOnly ? WordsUtf8 : WordsShiftJis;
}

uint32_t WordsUnitsBound(uint32_t count)
{
    // UTF-8 gives at most one unit a byte, UTF-16 one for every two bytes
    // and one for an odd last byte.
    return count;
}

uint32_t DecodeWordsText(const char* bytes, uint32_t count, WordsEncoding encoding, uint16_t* out,
                         uint32_t capacity)
{
    if (bytes == nullptr || out == nullptr) return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    uint32_t written = 0;
    uint32_t at = 0;
    // A character beyond the basic plane goes out as its pair, or not at all
    // when only one unit is left.
    auto put = [&](uint32_t codePoint) {
        if (codePoint > 0xFFFF) {
            if (written + 2 > capacity) return false;
            out[written++] = static_cast<uint16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            out[written++] = static_cast<uint16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            out[written++] = WindowsForm(static_cast<uint16_t>(codePoint));
        }
        return true;
    };
    if (encoding == WordsUtf8) {
        while (at < count && written < capacity) {
            uint32_t codePoint = 0;
            at += Utf8Step(p + at, count - at, &codePoint);
            if (!put(codePoint == kBroken ? kWordsStandIn : codePoint)) break;
        }
        return written;
    }
    if (encoding != WordsUtf16Le && encoding != WordsUtf16Be) return 0;
    const bool little = encoding == WordsUtf16Le;
    auto unitAt = [&](uint32_t i) -> uint16_t {
        return little ? static_cast<uint16_t>(p[i] | (p[i + 1] << 8)) : static_cast<uint16_t>((p[i] << 8) | p[i + 1]);
    };
    while (at + 1 < count && written < capacity) {
        uint32_t codePoint = unitAt(at);
        at += 2;
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            // Only a whole pair is a character; half of one is a stand-in.
            uint16_t next = at + 1 < count ? unitAt(at) : 0;
            if (codePoint <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (next - 0xDC00u);
                at += 2;
            } else {
                codePoint = kWordsStandIn;
            }
        }
        if (!put(codePoint)) break;
    }
    // A file cut inside its last character.
    if (at + 1 == count && written < capacity) out[written++] = kWordsStandIn;
    return written;
}
