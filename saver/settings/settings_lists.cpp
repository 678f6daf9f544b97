#include "saver/settings/settings_lists.h"

#include <cstdio>
#include <cstring>

const char kDefaultFadeText[] = "00,01,02,03,04,05,06,07,08,09,10,11,12,13,14,";
const char kDefaultColorText[] = "65280,16777215,16776960,65535,255,";
// "ＭＳ ゴシック,ＭＳ 明朝,"
const char kDefaultFontText[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e,\x82\x6c\x82\x72 \x96\xbe\x92\xa9,";
const char kDefaultBackText[] = "0,";

namespace {
const uint32_t kWhite = 16777215;

// Calls take(entry, length) for every non-empty entry between commas,
// until it answers false. Blanks belong to the entry.
template <typename Take>
void ForEachEntry(const char* text, Take take)
{
    if (text == nullptr) return;
    const char* p = text;
    while (*p != '\0') {
        const char* end = std::strchr(p, ',');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length > 0 && !take(p, length)) return;
        if (end == nullptr) return;
        p = end + 1;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The C library's white space, without asking the locale about bytes
// above 0x7F (half of a Shift-JIS character is never a blank).
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Which of the codes 00 .. 14 the entry begins with, or -1.
int FadeCodeOf(const char* entry, size_t length)
{
    if (length < 2 || !IsDigit(entry[0]) || !IsDigit(entry[1])) return -1;
    int code = (entry[0] - '0') * 10 + (entry[1] - '0');
    return code < kFadeCodeKinds ? code : -1;
}

// The digits an accepted fade entry begins with: "071" is 71, which the
// transition engine refuses as out of range. Saturates rather than wraps,
// so a long run of digits cannot turn into a valid kind.
uint16_t FadeEntryValue(const char* entry, size_t length)
{
    uint32_t value = 0;
    for (size_t i = 0; i < length && IsDigit(entry[i]); ++i) {
        value = value * 10 + static_cast<uint32_t>(entry[i] - '0');
        if (value > 0xFFFF) return 0xFFFF;
    }
    return static_cast<uint16_t>(value);
}

// Colour lists differ only in their table and in what a 0 entry means.
void LoadColours(const char* text, uint32_t* table, int capacity, uint16_t* count, bool zeroIsWhite,
                 uint32_t fallback)
{
    std::memset(table, 0, sizeof(uint32_t) * static_cast<size_t>(capacity));
    *count = 0;
    ForEachEntry(text, [&](const char* entry, size_t length) {
        uint32_t value = static_cast<uint32_t>(ColourEntryValue(entry, length));
        if (value == 0 && zeroIsWhite) value = kWhite;
        table[(*count)++] = value;
        return *count < capacity;
    });
    if (*count == 0) {
        table[0] = fallback;
        *count = 1;
    }
}

// Appends piece to out unless the text would pass maxLength.
bool Append(char* out, size_t* used, size_t outSize, size_t maxLength, const char* piece, size_t length)
{
    if (*used + length > maxLength || *used + length + 1 > outSize) return false;
    std::memcpy(out + *used, piece, length);
    *used += length;
    out[*used] = '\0';
    return true;
}

int Fail(char* out, size_t outSize, int code)
{
    if (outSize > 0) out[0] = '\0';
    return code;
}
}

int32_t ColourEntryValue(const char* entry, size_t length)
{
    size_t i = 0;
    while (i < length && IsBlank(entry[i])) ++i;
    bool negative = false;
    if (i < length && (entry[i] == '+' || entry[i] == '-')) {
        negative = entry[i] == '-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (; i < length && IsDigit(entry[i]); ++i) {
        value = value * 10 + (entry[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

void LoadFadeList(const char* text, SettingsFields* s)
{
    std::memset(s->EnabledTransitions, 0, sizeof s->EnabledTransitions);
    std::memset(s->FadeCodes, 0, sizeof s->FadeCodes);
    s->FadeCount = 0;
    ForEachEntry(text, [&](const char* entry, size_t length) {
        if (FadeCodeOf(entry, length) < 0) return true;
        s->FadeCodes[s->FadeCount * 2] = entry[0];
        s->FadeCodes[s->FadeCount * 2 + 1] = entry[1];
        s->EnabledTransitions[s->FadeCount] = FadeEntryValue(entry, length);
        ++s->FadeCount;
        return s->FadeCount < kMaxFadeEntries;
    });
    if (s->FadeCount == 0) {
        s->EnabledTransitions[0] = 0;
        std::memcpy(s->FadeCodes, "00", 3);
        s->FadeCount = 1;
    }
}

void LoadColorList(const char* text, SettingsFields* s)
{
    LoadColours(text, s->Color, kMaxTextColors, &s->ColorCount, true, kWhite);
}

void LoadBackList(const char* text, SettingsFields* s)
{
    LoadColours(text, s->Back, kMaxBackColors, &s->BackCount, false, 0);
}

void LoadFontList(const char* text, SettingsFields* s)
{
    if (text == nullptr || text[0] == '\0') text = kDefaultFontText;
    std::memset(s->Font, 0, sizeof s->Font);
    s->FontCount = 0;
    ForEachEntry(text, [&](const char* entry, size_t length) {
        // A name that does not fit its slot is left out whole: cut short it
        // would name some other face.
        if (length >= static_cast<size_t>(kFontSlotSize)) return true;
        std::memcpy(s->Font[s->FontCount], entry, length);
        ++s->FontCount;
        return s->FontCount < kMaxFonts;
    });
}

int FormatFadeList(const char* codes, int count, char* out, size_t outSize, size_t maxLength)
{
    if (outSize == 0) return kListTooLong;
    out[0] = '\0';
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        const char* code = codes + 2 * i;
        if (code[0] == '\0' || code[1] == '\0') break;
        if (FadeCodeOf(code, 2) < 0) return Fail(out, outSize, kListBadEntry);
        char entry[3] = {code[0], code[1], ','};
        if (!Append(out, &used, outSize, maxLength, entry, 3)) return Fail(out, outSize, kListTooLong);
    }
    return static_cast<int>(used);
}

int FormatColourList(const uint32_t* colours, int count, char* out, size_t outSize, size_t maxLength)
{
    if (outSize == 0) return kListTooLong;
    out[0] = '\0';
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        char entry[16];
        int n = std::snprintf(entry, sizeof entry, "%ld,", static_cast<long>(static_cast<int32_t>(colours[i])));
        if (!Append(out, &used, outSize, maxLength, entry, static_cast<size_t>(n)))
            return Fail(out, outSize, kListTooLong);
    }
    return static_cast<int>(used);
}

int FormatFontList(const char (*faces)[kFontSlotSize], int count, char* out, size_t outSize, size_t maxLength)
{
    if (outSize == 0) return kListTooLong;
    out[0] = '\0';
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        const char* face = faces[i];
        const void* end = std::memchr(face, '\0', kFontSlotSize);
        if (end == nullptr) return Fail(out, outSize, kListBadEntry);
        size_t length = static_cast<size_t>(static_cast<const char*>(end) - face);
        if (length == 0) continue;
        // ',' is never the second byte of a Shift-JIS character, so a byte
        // search finds only real commas, which would split the name.
        if (std::memchr(face, ',', length) != nullptr) return Fail(out, outSize, kListBadEntry);
        if (!Append(out, &used, outSize, maxLength, face, length) || !Append(out, &used, outSize, maxLength, ",", 1))
            return Fail(out, outSize, kListTooLong);
    }
    return static_cast<int>(used);
}
