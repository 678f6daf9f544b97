#include <gtest/gtest.h>

#include "saver/settings/setting_values.h"
#include "saver/settings/settings_lists.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
// "ＭＳ ゴシック" and "ＭＳ 明朝"
const char kGothic[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
const char kMincho[] = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9";

std::vector<int> Transitions(const SettingsFields& s)
{
    return std::vector<int>(s.EnabledTransitions, s.EnabledTransitions + s.FadeCount);
}
std::vector<uint32_t> Colours(const uint32_t* table, int count) { return std::vector<uint32_t>(table, table + count); }
std::vector<std::string> Fonts(const SettingsFields& s)
{
    std::vector<std::string> names;
    for (int i = 0; i < s.FontCount; ++i) names.push_back(s.Font[i]);
    return names;
}

// A record full of rubbish, so that a loader that leaves old entries
// behind shows it.
SettingsFields Dirty()
{
    SettingsFields s;
    std::memset(&s, 0x5A, sizeof s);
    return s;
}
}

TEST(SettingsLists, FadeEntriesAreMatchedByTheirFirstTwoBytes)
{
    struct Case {
        int line;
        const char* text;
        std::vector<int> transitions;
        const char* codes;
    } cases[] = {
        {__LINE__, kDefaultFadeText, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
         "000102030405060708091011121314"},
        {__LINE__, "00,05,14,", {0, 5, 14}, "000514"},
        {__LINE__, "", {0}, "00"},
        {__LINE__, ",,,", {0}, "00"},
        {__LINE__, "15,99,", {0}, "00"},
        {__LINE__, " 01,", {0}, "00"},          // blanks are not trimmed
        {__LINE__, "1,", {0}, "00"},            // one character never matches
        {__LINE__, "071,", {71}, "07"},         // code 07, value 71
        {__LINE__, "07x,", {7}, "07"},
        {__LINE__, "03,03,07,", {3, 3, 7}, "030307"},
        {__LINE__, ",,12,,04", {12, 4}, "1204"},  // no trailing comma needed
        {__LINE__, "0a,1-,12", {12}, "12"},
        {__LINE__, "1499999999,", {0xFFFF}, "14"},  // saturates, never wraps to a valid kind
    };
    for (const Case& c : cases) {
        SettingsFields s = Dirty();
        LoadFadeList(c.text, &s);
        EXPECT_EQ(Transitions(s), c.transitions) << "line " << c.line;
        EXPECT_STREQ(s.FadeCodes, c.codes) << "line " << c.line;
    }
}

TEST(SettingsLists, FadeListStopsWhereFadeCodesIsFull)
{
    // Twenty accepted entries: only fifteen codes and their terminator fit
    // the 32 bytes of FadeCodes, and the count must describe both tables.
    std::string text;
    for (int i = 0; i < 20; ++i) text += (i % 2 ? "01," : "02,");
    SettingsFields s = Dirty();
    LoadFadeList(text.c_str(), &s);
    ASSERT_EQ(s.FadeCount, 15);
    EXPECT_EQ(std::strlen(s.FadeCodes), 30u);
    EXPECT_EQ(s.FadeCodes[kFadeCodesSize - 1], '\0');
    EXPECT_EQ(s.EnabledTransitions[14], 2);
    EXPECT_EQ(s.EnabledTransitions[15], 0);   // left empty, not filled with the sixteenth
}

TEST(SettingsLists, ColourEntriesReadTheirLeadingInteger)
{
    struct Case {
        int line;
        const char* entry;
        int32_t value;
    } cases[] = {
        {__LINE__, "255", 255},
        {__LINE__, "  255", 255},
        {__LINE__, "\t\n255", 255},
        {__LINE__, "+255", 255},
        {__LINE__, "-1", -1},
        {__LINE__, "12abc", 12},
        {__LINE__, "abc", 0},
        {__LINE__, "-", 0},
        {__LINE__, "- 5", 0},
        {__LINE__, "\x82\x50", 0},           // a full-width digit is no digit
        {__LINE__, "2147483647", 2147483647},
        {__LINE__, "99999999999999999999", 2147483647},
        {__LINE__, "-2147483648", -2147483647 - 1},
        {__LINE__, "-99999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColourEntryValue(c.entry, std::strlen(c.entry)), c.value) << "line " << c.line;
    // Only the entry's own bytes count: the digits after its end are not read.
    EXPECT_EQ(ColourEntryValue("1234", 2), 12);
}

TEST(SettingsLists, TextColoursNeverLoadBlack)
{
    struct Case {
        int line;
        const char* text;
        std::vector<uint32_t> colours;
    } cases[] = {
        {__LINE__, kDefaultColorText, {65280, 16777215, 16776960, 65535, 255}},
        {__LINE__, "0,", {16777215}},
        {__LINE__, "", {16777215}},
        {__LINE__, ",,255,,", {255}},
        {__LINE__, "red,", {16777215}},        // not a number: 0, so white
        {__LINE__, "-1,", {0xFFFFFFFFu}},
        {__LINE__, "255,0,65280,", {255, 16777215, 65280}},
    };
    for (const Case& c : cases) {
        SettingsFields s = Dirty();
        LoadColorList(c.text, &s);
        EXPECT_EQ(Colours(s.Color, s.ColorCount), c.colours) << "line " << c.line;
    }
}

TEST(SettingsLists, BackgroundColoursKeepBlack)
{
    struct Case {
        int line;
        const char* text;
        std::vector<uint32_t> colours;
    } cases[] = {
        {__LINE__, kDefaultBackText, {0}},
        {__LINE__, "", {0}},
        {__LINE__, ",,", {0}},
        {__LINE__, "16711680,", {16711680}},
        {__LINE__, "0,255,x,", {0, 255, 0}},
    };
    for (const Case& c : cases) {
        SettingsFields s = Dirty();
        LoadBackList(c.text, &s);
        EXPECT_EQ(Colours(s.Back, s.BackCount), c.colours) << "line " << c.line;
    }
}

TEST(SettingsLists, ColourListsStopAtTheirTables)
{
    // "1," forty times is 80 bytes: a text the reader accepts but the
    // tables cannot hold.
    std::string text;
    for (int i = 1; i <= 40; ++i) text += std::to_string(i % 10) + ",";
    SettingsFields s = Dirty();
    LoadColorList(text.c_str(), &s);
    EXPECT_EQ(s.ColorCount, kMaxTextColors);
    EXPECT_EQ(s.Color[kMaxTextColors - 1], 2u);   // the 32nd entry, "2"
    LoadBackList(text.c_str(), &s);
    EXPECT_EQ(s.BackCount, kMaxBackColors);
    EXPECT_EQ(s.Back[kMaxBackColors - 1], 0u);    // the 30th entry, "0", stays black
}

TEST(SettingsLists, FontsAreCopiedWhole)
{
    const std::string twentyNine(29, 'a');
    const std::string thirty(30, 'b');
    struct Case {
        int line;
        const char* text;
        std::vector<std::string> fonts;
    } cases[] = {
        {__LINE__, nullptr, {kGothic, kMincho}},         // not readable
        {__LINE__, "", {kGothic, kMincho}},
        {__LINE__, kDefaultFontText, {kGothic, kMincho}},
        {__LINE__, ",", {}},                              // no fallback
        {__LINE__, ",,Arial,,", {"Arial"}},
        {__LINE__, " Arial ,", {" Arial "}},
        {__LINE__, "Arial", {"Arial"}},
        {__LINE__, "@\x82\x6c\x82\x72 \x96\xbe\x92\xa9,", {"@\x82\x6c\x82\x72 \x96\xbe\x92\xa9"}},
    };
    for (const Case& c : cases) {
        SettingsFields s = Dirty();
        LoadFontList(c.text, &s);
        EXPECT_EQ(Fonts(s), c.fonts) << "line " << c.line;
    }

    // A name that does not fit its slot is dropped, not cut into another
    // face; the names around it stay.
    SettingsFields s = Dirty();
    std::string text = "Arial," + thirty + "," + twentyNine + ",";
    LoadFontList(text.c_str(), &s);
    EXPECT_EQ(Fonts(s), (std::vector<std::string>{"Arial", twentyNine}));
    EXPECT_EQ(s.Font[2][0], '\0');

    // With FontCount 0 the renderer falls back on slot 0: it must be empty,
    // not what an earlier load left there.
    LoadFontList(",", &s);
    EXPECT_EQ(s.FontCount, 0);
    EXPECT_EQ(s.Font[0][0], '\0');
}

TEST(SettingsLists, FontListStopsAtThirtySlots)
{
    std::string text;
    for (int i = 0; i < 35; ++i) text += "F" + std::to_string(i) + ",";
    SettingsFields s = Dirty();
    LoadFontList(text.c_str(), &s);
    ASSERT_EQ(s.FontCount, kMaxFonts);
    EXPECT_STREQ(s.Font[kMaxFonts - 1], "F29");
}

TEST(SettingsLists, FormattedListsLoadBackAsTheyWere)
{
    char out[kFontTextSize];

    SettingsFields s = Dirty();
    LoadFadeList("14,03,07,", &s);
    ASSERT_EQ(FormatFadeList(s.FadeCodes, s.FadeCount, out, kListTextSize, kListTextSize - 1), 9);
    EXPECT_STREQ(out, "14,03,07,");
    ASSERT_EQ(FormatFadeList(kDefaultFadeText, 0, out, kListTextSize, kListTextSize - 1), 0);
    EXPECT_STREQ(out, "");

    const uint32_t colours[] = {0, 255, 16777215, 0xFFFFFFFFu};
    ASSERT_EQ(FormatColourList(colours, 4, out, kListTextSize, kListTextSize - 1), 18);
    EXPECT_STREQ(out, "0,255,16777215,-1,");
    LoadBackList(out, &s);
    EXPECT_EQ(Colours(s.Back, s.BackCount), (std::vector<uint32_t>{0, 255, 16777215, 0xFFFFFFFFu}));

    char faces[3][kFontSlotSize] = {};
    std::strcpy(faces[0], kGothic);
    std::strcpy(faces[2], "Arial");
    ASSERT_GT(FormatFontList(faces, 3, out, kFontTextSize, kFontTextSize - 1), 0);
    EXPECT_EQ(std::string(out), std::string(kGothic) + ",Arial,");   // the empty slot is left out
    LoadFontList(out, &s);
    EXPECT_EQ(Fonts(s), (std::vector<std::string>{kGothic, "Arial"}));
}

TEST(SettingsLists, TextsTheLoaderWouldDiscardAreRefused)
{
    char out[kFontTextSize];

    // Thirty background colours of eight digits: 270 bytes, far past the
    // 127 the loader reads. Refused whole; the output is left empty.
    uint32_t colours[30];
    for (uint32_t& c : colours) c = 16777215;
    EXPECT_EQ(FormatColourList(colours, 30, out, kListTextSize, kListTextSize - 1), kListTooLong);
    EXPECT_STREQ(out, "");
    // Exactly 127 bytes is the most the loader reads: fourteen "16777215,"
    // are 126, one more "0," would make 128.
    uint32_t edge[15];
    for (int i = 0; i < 14; ++i) edge[i] = 16777215;
    edge[14] = 5;
    EXPECT_EQ(FormatColourList(edge, 14, out, kListTextSize, kListTextSize - 1), 126);
    EXPECT_EQ(FormatColourList(edge, 15, out, kListTextSize, kListTextSize - 1), kListTooLong);
    edge[13] = 1677721;   // one digit fewer: 125 + "5," = 127
    EXPECT_EQ(FormatColourList(edge, 15, out, kListTextSize, kListTextSize - 1), 127);

    // Nineteen fonts of 29 bytes: 570 bytes against the 199 of the reader.
    char faces[19][kFontSlotSize];
    for (auto& f : faces) {
        std::memset(f, 'x', 29);
        f[29] = '\0';
    }
    EXPECT_EQ(FormatFontList(faces, 19, out, kFontTextSize, kFontTextSize - 1), kListTooLong);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(FormatFontList(faces, 6, out, kFontTextSize, kFontTextSize - 1), 180);

    // A comma inside a name would split it into two faces on loading.
    std::strcpy(faces[0], "Bad,Face");
    EXPECT_EQ(FormatFontList(faces, 1, out, kFontTextSize, kFontTextSize - 1), kListBadEntry);
    // A slot without its terminator has no name that can be trusted.
    std::memset(faces[0], 'y', kFontSlotSize);
    EXPECT_EQ(FormatFontList(faces, 1, out, kFontTextSize, kFontTextSize - 1), kListBadEntry);

    // A code outside 00..14 would be dropped by the loader.
    EXPECT_EQ(FormatFadeList("0015", 2, out, kListTextSize, kListTextSize - 1), kListBadEntry);
}

// What a policy's value must be to count, at each edge: the reader's
// length, the count of entries, the range of one entry.
TEST(SettingsLists, PolicyValuesCountOnlyWithinTheirLimits)
{
    auto repeat = [](const std::string& entry, int n) { std::string out; while (n-- > 0) out += entry; return out; };
    std::string fades;
    for (int i = 0; i < 15; ++i) fades += (i < 10 ? "0" : "") + std::to_string(i) + ",";
    const std::string x20 = repeat(std::string(20, 'x') + ",", 9);
    // Each setting's values on both sides of every edge.
    const struct { const char* name; std::vector<std::string> accepted, refused; } lists[] = {
        {"Fade", {fades, "14" /* no comma after the last: read all the same */}, {"15,", "3,", "071,", "02,,02,", ",,"}},
        {"Color", {repeat("9999,", 25) + "12" /* 127 bytes */, repeat("1,", 30), "16777215,", "0,"},
         {repeat("9999,", 25) + "123", repeat("1,", 31), "16777216,"}},
        {"Back", {}, {"-0,", "+5,", "05,", ""}},
        {"Font", {repeat("F,", 19), std::string(29, 'x') + ",", x20 + std::string(10, 'y') /* 199 bytes */},
         {repeat("F,", 20), std::string(30, 'x') + ",", x20 + std::string(11, 'y')}},
        {"Display", {}, {"1,"}},   // not a list
    };
    for (const auto& c : lists)
        for (bool accepted : {true, false})
            for (const auto& text : accepted ? c.accepted : c.refused)
                EXPECT_EQ(PolicyListAccepted(*FindSettingValue(c.name), text.c_str()), accepted) << c.name << " " << text;
    const struct { const char* name; std::vector<uint32_t> accepted, refused; } numbers[] = {
        {"Display", {1, 864000}, {0, 864001}}, {"AVIPlay", {4}, {0, 5}}, {"Opening", {1}, {2}},
        {"AllowTextGenDLL", {0}, {0xFFFFFFFFu}}, {"Fade", {}, {1}} /* not a number */,
    };
    for (const auto& c : numbers)
        for (bool accepted : {true, false})
            for (uint32_t number : accepted ? c.accepted : c.refused)
                EXPECT_EQ(PolicyNumberAccepted(*FindSettingValue(c.name), number), accepted) << c.name << " " << number;
    EXPECT_EQ(FindSettingValue("Vertically"), nullptr);
}
