#include <gtest/gtest.h>

#include "saver/settings/page_rules.h"
#include "saver/settings/settings_lists.h"

#include <string>

TEST(PageRules, FontPageOffersOnlyFacesTheSaverCanStoreAndUse)
{
    const std::string gothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";   // "ＭＳ ゴシック"
    struct Case {
        int line;
        uint32_t type;
        unsigned charSet;
        std::string face;
        bool offered;
    } cases[] = {
        {__LINE__, 4, 128, gothic, true},
        {__LINE__, 4 | 2, 128, gothic, true},         // TrueType among other bits
        {__LINE__, 2, 128, gothic, false},            // a device font
        {__LINE__, 1, 128, gothic, false},            // a raster font
        {__LINE__, 4, 0, "Arial", false},             // not Shift-JIS
        {__LINE__, 4, 128, "@" + gothic, false},      // vertical writing
        {__LINE__, 4, 128, "", false},
        {__LINE__, 4, 128, std::string(29, 'a'), true},    // fills a slot with its terminator
        {__LINE__, 4, 128, std::string(30, 'a'), false},   // the loader would drop it
        {__LINE__, 4, 128, std::string(31, 'a'), false},
        {__LINE__, 4, 128, "A,B", false},             // would split in the stored text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(FontPageOffers(c.type, static_cast<uint8_t>(c.charSet), c.face.c_str(), c.face.size()), c.offered);
    }
}

// Whatever the page lets into its list, the store must write and the
// loader read back: the two agree for every fill and length.
TEST(PageRules, ColourListFitsExactlyWhenTheStoredTextWould)
{
    char out[kListTextSize];
    uint32_t colours[kPageColourLimit + 1];
    for (uint32_t fill : {0u, 1677721u, 16777215u, 0x80000000u}) {
        for (int count = 0; count <= kPageColourLimit; ++count) {
            for (int i = 0; i <= count; ++i) colours[i] = i < count ? fill : 5;
            bool stored = FormatColourList(colours, count + 1, out, sizeof out, kListTextSize - 1) >= 0;
            ASSERT_EQ(ColourListFits(colours, count, true, 5, kListTextSize - 1), stored) << fill << " x" << count;
        }
    }
}
