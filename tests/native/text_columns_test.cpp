#include <gtest/gtest.h>

#include "saver/sayings/text_columns.h"

#include <string>
#include <tuple>
#include <vector>

namespace {
using Column = std::tuple<int, int, uint32_t, bool>;   // left edge, start, bytes, sub font

// Fonts as the sizing rule pictures them: a byte is w along the column (a
// full-width character one square cell of 2w), a column 2w wide.
struct IdealFonts { int w, s; std::vector<Column> drawn; };
IdealFonts& F(void* fonts) { return *static_cast<IdealFonts*>(fonts); }
int LengthOf(void* fonts, const char*, uint32_t bytes, bool sub) { return static_cast<int>(bytes) * (sub ? F(fonts).s : F(fonts).w); }
void Draw(void* fonts, const char*, uint32_t bytes, bool sub, int x, int y) { F(fonts).drawn.emplace_back(x, y, bytes, sub); }

std::string Kana(int characters, const char* after = "")   // あ...
{
    std::string s;
    while (characters-- > 0) s += "\x82\xA0";
    return s + after;
}
}

TEST(TextColumns, LinesBecomeColumnsFromTheRight)
{
    std::string tooMany;
    for (int i = 0; i < 10; ++i) tooMany += Kana(5, "\r\n");
    const struct {
        int line, width, height; std::string text; int w, s, top, right, bottom; std::vector<Column> columns;
    } rows[] = {
        // 猿も木から落ちる: 16 bytes fill 480 of 600 rows; one column of 60, centred.
        {__LINE__, 800, 600, "\x89\x8E\x82\xE0\x96\xD8\x82\xA9\x82\xE7\x97\x8E\x82\xBF\x82\xE9", 30, 20, 60, 430, 540, {{370, 60, 16, false}}},
        // 古池や / 蛙飛びこむ / 水の音 / @>松尾芭蕉: the attribution, in the
        // sub font capped at 600 / 30, ends with the longest column.
        {__LINE__, 800, 600, "\x8C\xC3\x92\x72\x82\xE2\r\n\x8A\x5E\x94\xF2\x82\xD1\x82\xB1\x82\xDE\r\n\x90\x85\x82\xCC\x89\xB9\r\n"
         "@>\x8F\xBC\x94\xF6\x89\xE4\x9E\x81",
         48, 20, 60, 564, 540, {{468, 60, 6, false}, {372, 60, 10, false}, {276, 60, 6, false}, {236, 380, 8, true}}},
        // A sub line starts at the top; an attribution longer than the longest line starts there too.
        {__LINE__, 800, 600, Kana(3, "\r\n@") + Kana(1, "\r\n@>") + Kana(15), 80, 20, 60, 520, 660,
         {{360, 60, 6, false}, {320, 60, 2, true}, {280, 60, 30, true}}},
        // Ten columns of 96 on 300: from the right edge; the fourth is cut at the left edge, the rest lost.
        {__LINE__, 300, 600, tooMany, 48, 20, 60, 300, 540,
         {{204, 60, 10, false}, {108, 60, 10, false}, {12, 60, 10, false}, {-84, 60, 10, false}}},
        // An empty line is an empty column of the main font.
        {__LINE__, 800, 600, Kana(3, "\r\n\r\n") + Kana(3), 80, 20, 60, 640, 540, {{480, 60, 6, false}, {320, 60, 0, false}, {160, 60, 6, false}}},
        // Half-width text is sized by its bytes as across: twelve fill the height of six full-width characters.
        {__LINE__, 1024, 768, "Kelmora 1.51", 51, 25, 78, 563, 690, {{461, 78, 12, false}}},
        // Sub lines alone are as long as the longest of them.
        {__LINE__, 800, 600, "@" + Kana(4, "\r\n@>") + Kana(2), 60, 20, 220, 440, 380, {{400, 220, 8, true}, {360, 300, 4, true}}},
    };
    for (const auto& r : rows) {
        TextMeasure measure;
        MeasureText(r.text.data(), static_cast<uint32_t>(r.text.size()), &measure);
        ColumnBlock block = {};
        SizeColumnFonts(r.height, measure, &block);
        IdealFonts fonts = {block.mainWidth, block.subWidth, {}};
        block.mainThickness = 2 * block.mainWidth;
        block.subThickness = 2 * block.subWidth;
        const ColumnSeam seam = {&fonts, LengthOf, Draw};
        PlaceColumnBlock(r.text.data(), measure, r.width, r.height, seam, &block);
        ColumnReach reach = WalkColumns(r.text.data(), static_cast<uint32_t>(r.text.size()), block, seam, true);
        EXPECT_EQ(std::make_tuple(block.mainWidth, block.subWidth, block.top, block.right, reach.bottom, reach.left),
                  std::make_tuple(r.w, r.s, r.top, r.right, r.bottom, std::get<0>(r.columns.back()))) << "row at line " << r.line;
        EXPECT_EQ(fonts.drawn, r.columns) << "row at line " << r.line;
    }
}
