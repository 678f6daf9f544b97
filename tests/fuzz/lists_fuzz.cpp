// Fuzz target of the four settings list texts: any bytes, cut to what the
// loader's registry buffer holds and terminated there, loaded into the
// fixed tables. Counts must stay inside the tables, every kept text must be
// terminated inside its slot, and what the writers make of a loaded table
// must load back to the same table (the configuration pages store exactly
// that).
#include "saver/settings/settings_lists.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

// The text as the registry reader leaves it: at most size - 1 bytes, then
// the terminator, in a block of exactly that size.
char* Terminated(const uint8_t* data, size_t length, size_t bufferSize)
{
    if (length > bufferSize - 1) length = bufferSize - 1;
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, data, length);
    text[length] = '\0';
    return text;
}

bool SameColours(const uint32_t* a, uint16_t na, const uint32_t* b, uint16_t nb)
{
    return na == nb && std::memcmp(a, b, sizeof(uint32_t) * na) == 0;
}

void Colours(const char* text, bool back)
{
    SettingsFields s, again;
    std::memset(&s, 0x5A, sizeof s);
    uint32_t* table = back ? s.Back : s.Color;
    uint16_t* count = back ? &s.BackCount : &s.ColorCount;
    if (back) LoadBackList(text, &s);
    else LoadColorList(text, &s);
    Require(*count >= 1 && *count <= (back ? kMaxBackColors : kMaxTextColors));
    for (uint16_t i = 0; i < *count && !back; ++i) Require(table[i] != 0);

    char stored[kListTextSize];
    int written = FormatColourList(table, *count, stored, sizeof stored, kListTextSize - 1);
    if (written < 0) {
        Require(written == kListTooLong && stored[0] == '\0');
        return;
    }
    Require(std::strlen(stored) == static_cast<size_t>(written));
    if (back) {
        LoadBackList(stored, &again);
        Require(SameColours(s.Back, s.BackCount, again.Back, again.BackCount));
    } else {
        LoadColorList(stored, &again);
        Require(SameColours(s.Color, s.ColorCount, again.Color, again.ColorCount));
    }
}

void Fade(const char* text)
{
    SettingsFields s, again;
    std::memset(&s, 0x5A, sizeof s);
    LoadFadeList(text, &s);
    Require(s.FadeCount >= 1 && s.FadeCount <= kMaxFadeEntries);
    Require(std::memchr(s.FadeCodes, '\0', sizeof s.FadeCodes) != nullptr);
    Require(std::strlen(s.FadeCodes) == 2u * s.FadeCount);

    char stored[kListTextSize];
    int written = FormatFadeList(s.FadeCodes, s.FadeCount, stored, sizeof stored, kListTextSize - 1);
    Require(written == 3 * s.FadeCount);
    LoadFadeList(stored, &again);
    Require(again.FadeCount == s.FadeCount && std::strcmp(again.FadeCodes, s.FadeCodes) == 0);
}

void Fonts(const char* text)
{
    SettingsFields s, again;
    std::memset(&s, 0x5A, sizeof s);
    LoadFontList(text, &s);
    Require(s.FontCount >= 0 && s.FontCount <= kMaxFonts);
    for (int i = 0; i < s.FontCount; ++i) {
        Require(std::memchr(s.Font[i], '\0', kFontSlotSize) != nullptr);
        Require(s.Font[i][0] != '\0' && std::strchr(s.Font[i], ',') == nullptr);
    }

    char stored[kFontTextSize];
    int written = FormatFontList(s.Font, s.FontCount, stored, sizeof stored, kFontTextSize - 1);
    if (written < 0) {
        Require(written == kListTooLong && stored[0] == '\0');
        return;
    }
    // An empty table is stored as the empty text, which loads the defaults.
    if (s.FontCount == 0) return;
    LoadFontList(stored, &again);
    Require(again.FontCount == s.FontCount);
    Require(std::memcmp(again.Font, s.Font, sizeof s.Font) == 0);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char* list = Terminated(data, size, kListTextSize);
    Fade(list);
    Colours(list, false);
    Colours(list, true);
    std::free(list);

    char* fonts = Terminated(data, size, kFontTextSize);
    Fonts(fonts);
    std::free(fonts);

    // An entry is read by its length alone, never up to a terminator.
    size_t cut = size < 24 ? size : 24;
    char* entry = static_cast<char*>(std::malloc(cut ? cut : 1));
    std::memcpy(entry, data, cut);
    int32_t value = ColourEntryValue(entry, cut);
    if (cut == 0) Require(value == 0);
    std::free(entry);
    return 0;
}
