#include <gtest/gtest.h>

#include "saver/sayings/text_layout.h"

TEST(TextLayout, FontSizesFollowTheLongestLine)
{
    const struct {
        int line;
        int width;
        uint32_t maxLen;
        int w, s;
    } rows[] = {
        {__LINE__, 640, 20, 25, 16},     // 512 / 20; 16 below 640 / 30 = 21
        {__LINE__, 1024, 14, 58, 34},    // 819 / 14; 38 capped
        {__LINE__, 1024, 15, 54, 34},    // 36 capped
        {__LINE__, 1024, 16, 51, 34},    // 34 by the formula itself
        {__LINE__, 1024, 17, 48, 32},
        {__LINE__, 800, 1, 640, 26},
        {__LINE__, 640, 512, 1, 0},      // the longest line that still gets a size
        {__LINE__, 640, 513, kFallbackCharWidth, 4},
        {__LINE__, 640, 1048576, kFallbackCharWidth, 4},
        {__LINE__, 152, 20, 6, 4},       // a preview window
        {__LINE__, 29, 1, 23, 0},        // W / 30 is 0
    };
    for (const auto& r : rows) {
        int w = MainCharWidth(r.width, r.maxLen);
        EXPECT_EQ(w, r.w) << "row at line " << r.line;
        EXPECT_EQ(SubCharWidth(r.width, w), r.s) << "row at line " << r.line;
    }
}

TEST(TextLayout, FontRequestsCarryTheFixedAttributes)
{
    FontRequest main = MainFontRequest(25);
    EXPECT_EQ(main.height, 50);
    EXPECT_EQ(main.width, 25);
    EXPECT_EQ(main.weight, 400);
    EXPECT_EQ(main.charSet, 128);
    EXPECT_EQ(main.pitchAndFamily, 48);
    FontRequest sub = SubFontRequest(16);
    EXPECT_EQ(sub.height, 32);
    EXPECT_EQ(sub.width, 16);
    EXPECT_EQ(sub.weight, 400);
    EXPECT_EQ(sub.charSet, 176);
    EXPECT_EQ(sub.pitchAndFamily, 0);
}

TEST(TextLayout, TextsWithoutOrdinaryBytesStillGetASize)
{
    EXPECT_EQ(SizingLength(20, 40), 20u);
    EXPECT_EQ(SizingLength(0, 7), 7u);
    EXPECT_EQ(SizingLength(0, 0), 1u);
    EXPECT_EQ(MainCharWidth(640, 0), 512);   // never a division by zero
    EXPECT_EQ(MainCharWidth(0, 5), kFallbackCharWidth);

    EXPECT_EQ(UsableFontCount(-3, 30), 0);
    EXPECT_EQ(UsableFontCount(0, 30), 0);
    EXPECT_EQ(UsableFontCount(2, 30), 2);
    EXPECT_EQ(UsableFontCount(31, 30), 30);
}

TEST(TextLayout, BlockIsCentredUnlessTooLarge)
{
    EXPECT_EQ(BlockLeft(640, 500), 70);
    EXPECT_EQ(BlockLeft(641, 501), 70);    // each half truncated
    EXPECT_EQ(BlockLeft(640, 640), 0);
    EXPECT_EQ(BlockLeft(640, 900), 0);

    // One line of 50: centred.
    EXPECT_EQ(BlockTop(480, 1, 0, 50, 32), 215);
    // Three ordinary lines and an attribution: 3 x 50 + 32.
    EXPECT_EQ(BlockTop(480, 4, 1, 50, 32), 149);
    EXPECT_EQ(BlockTop(481, 1, 0, 51, 32), 215);
    EXPECT_EQ(BlockTop(480, 10, 0, 48, 32), 0);   // exactly the height
    EXPECT_EQ(BlockTop(480, 10, 0, 49, 32), 0);   // taller: from the top edge
    EXPECT_EQ(BlockTop(480, 0, 0, 50, 32), 240);
    EXPECT_EQ(BlockTop(480, 3000000, 0, 5000, 32), 0);   // no overflow
}

TEST(TextLayout, RightSubLineEndsWithTheLongestLine)
{
    EXPECT_EQ(RightSubX(70, 500, 120), 450);
    EXPECT_EQ(RightSubX(70, 500, 500), 70);
    EXPECT_EQ(RightSubX(70, 500, 620), 70);   // wider than the block: from left
    EXPECT_EQ(RightSubX(0, 0, 0), 0);
}

TEST(TextLayout, OnlyOverlongLinesAreCutForThePlatform)
{
    EXPECT_EQ(DrawableBytes(512, 640), 512u);
    EXPECT_EQ(DrawableBytes(1344, 640), 1344u);
    EXPECT_EQ(DrawableBytes(1048576, 640), 1344u);
    EXPECT_EQ(DrawableBytes(100, 0), 64u);
}
