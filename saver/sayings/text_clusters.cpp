#include "saver/sayings/text_clusters.h"

namespace {
struct Range {
    uint32_t first, last;
};

template <uint32_t N>
bool InRanges(const Range (&ranges)[N], uint32_t c)
{
    uint32_t low = 0, high = N;
    while (low < high) {
        uint32_t mid = (low + high) / 2;
        if (c < ranges[mid].first) high = mid;
        else if (c > ranges[mid].last) low = mid + 1;
        else return true;
    }
    return false;
}

// Characters that belong to the one before them: combining marks of the
// scripts a saying is likely to hold, the dependent vowels of the Indic
// scripts, Thai and Lao marks, the kana voicing marks, variation selectors
// (ideographic variation sequences too), emoji modifiers and tag letters.
const Range kExtend[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0900, 0x0903},
    {0x093A, 0x093C}, {0x093E, 0x094F}, {0x0951, 0x0957}, {0x0962, 0x0963}, {0x0981, 0x0983},
    {0x09BC, 0x09BC}, {0x09BE, 0x09CD}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},
    {0x0EB1, 0x0EB1}, {0x0EB4, 0x0EBC}, {0x0EC8, 0x0ECD}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x200C, 0x200D}, {0x20D0, 0x20FF}, {0x302A, 0x302F}, {0x3099, 0x309A}, {0xA66F, 0xA672},
    {0xA674, 0xA67D}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0x1F3FB, 0x1F3FF}, {0xE0020, 0xE007F},
    {0xE0100, 0xE01EF},
};

// East Asian wide and full-width characters, and those shown as emoji by
// default; every other character is one column.
const Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F1E6, 0x1F202},
    {0x1F210, 0x1F23B}, {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3},
    {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC},
    {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB},
    {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

const uint32_t kJoiner = 0x200D;

bool IsRegionalIndicator(uint32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// Hangul written as conjoining letters is one syllable: leading
// consonants, then vowels, then trailing consonants, where a precomposed
// syllable stands for the first two or three.
enum Jamo { NoJamo, Leading, Vowel, Trailing, SyllableLV, SyllableLVT };
Jamo JamoOf(uint32_t c)
{
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0xA960 && c <= 0xA97C)) return Leading;
    if ((c >= 0x1160 && c <= 0x11A7) || (c >= 0xD7B0 && c <= 0xD7C6)) return Vowel;
    if ((c >= 0x11A8 && c <= 0x11FF) || (c >= 0xD7CB && c <= 0xD7FB)) return Trailing;
    if (c >= 0xAC00 && c <= 0xD7A3) return (c - 0xAC00) % 28 == 0 ? SyllableLV : SyllableLVT;
    return NoJamo;
}

bool JamoJoins(Jamo before, Jamo after)
{
    switch (before) {
    case Leading: return after == Leading || after == Vowel || after == SyllableLV || after == SyllableLVT;
    case Vowel:
    case SyllableLV: return after == Vowel || after == Trailing;
    case Trailing:
    case SyllableLVT: return after == Trailing;
    default: return false;
    }
}
}

uint32_t CodePointAt(const char16_t* text, uint32_t length, uint32_t at, uint32_t* units)
{
    const uint32_t unit = text[at];
    *units = 1;
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < length && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF) {
        *units = 2;
        return 0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00u);
    }
    return unit;
}

uint32_t ClusterEnd(const char16_t* text, uint32_t length, uint32_t at, uint32_t* first)
{
    uint32_t units = 0;
    uint32_t previous = CodePointAt(text, length, at, &units);
    *first = previous;
    uint32_t end = at + units;
    // A pair of regional indicators is one flag; a third starts another.
    bool flagOpen = IsRegionalIndicator(previous);
    while (end < length) {
        const uint32_t next = CodePointAt(text, length, end, &units);
        bool joins = false;
        if (flagOpen && IsRegionalIndicator(next)) {
            joins = true;
            flagOpen = false;
        } else {
            joins = InRanges(kExtend, next) || previous == kJoiner || JamoJoins(JamoOf(previous), JamoOf(next));
        }
        if (!joins) break;
        previous = next;
        end += units;
    }
    return end;
}

uint32_t ClusterWidth(uint32_t first, ShiftJisBytesFn shiftJisBytes)
{
    const uint8_t bytes = shiftJisBytes ? shiftJisBytes(first) : 0;
    if (bytes != 0) return bytes;
    return InRanges(kWide, first) ? 2u : 1u;
}

uint32_t LineWidth(const char16_t* text, uint32_t length, ShiftJisBytesFn shiftJisBytes)
{
    uint32_t width = 0;
    for (uint32_t at = 0; at < length;) {
        uint32_t first = 0;
        at = ClusterEnd(text, length, at, &first);
        width += ClusterWidth(first, shiftJisBytes);
    }
    return width;
}

uint32_t WholeClusterUnits(const char16_t* text, uint32_t length, uint32_t count)
{
    if (count >= length) return length;
    uint32_t whole = 0;
    for (uint32_t at = 0; at <= count;) {
        whole = at;
        if (at == length) break;
        uint32_t first = 0;
        at = ClusterEnd(text, length, at, &first);
    }
    return whole;
}
