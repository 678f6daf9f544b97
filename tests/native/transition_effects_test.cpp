// What each of the fifteen effects draws on chosen frames, as text lines
// that name every drawing step in order.
#include <gtest/gtest.h>

#include "saver/transitions/transition_logic.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Describe(const TransitionDraw& d)
{
    char text[120];
    switch (d.op) {
    case DrawFill:
        std::snprintf(text, sizeof text, "fill %d,%d-%d,%d", d.x, d.y, d.cx, d.cy);
        break;
    case DrawCopy:
        std::snprintf(text, sizeof text, "copy %d,%d %dx%d from %d,%d", d.x, d.y, d.cx, d.cy, d.srcX, d.srcY);
        break;
    case DrawStretch:
        std::snprintf(text, sizeof text, "stretch %d,%d %dx%d from %d,%d %dx%d", d.x, d.y, d.cx, d.cy, d.srcX,
                      d.srcY, d.srcCx, d.srcCy);
        break;
    case DrawDarkCreate:
        std::snprintf(text, sizeof text, "dark create %dx%d", d.cx, d.cy);
        break;
    case DrawDarkFrame:
        std::snprintf(text, sizeof text, "dark %d,%d,%d fill %dx%d and %dx%d", d.red, d.green, d.blue, d.cx, d.cy,
                      d.srcCx, d.srcCy);
        break;
    case DrawDarkRelease:
        std::snprintf(text, sizeof text, "dark release");
        break;
    default:
        std::snprintf(text, sizeof text, "op %d", d.op);
        break;
    }
    return text;
}

typedef std::vector<std::string> Lines;

// Runs one item of a single kind with D = 0 and keeps the description of
// every call: call 0 set-up, 1..29 reveal, 30 completion and hide set-up,
// 31..60 hide, 61 finish.
struct Item {
    std::vector<Lines> calls;
    std::vector<std::string> drawn;   // DrawnBounds of each call, "" for none
};

TransitionDraws draws;

Item RunItem(uint16_t kind, int32_t w, int32_t h)
{
    uint16_t list[kEnabledTransitionSlots] = {kind};
    TransitionInputs in = {w, h, 0, 0, list, 1};
    TransitionState s = {};
    Item item;
    for (int call = 0; call < 62; ++call) {
        int done = AdvanceTransition(&s, in, &draws);
        Lines lines;
        for (uint32_t i = 0; i < draws.count; ++i) lines.push_back(Describe(draws.items[i]));
        item.calls.push_back(lines);
        int32_t b[4];
        char text[60] = "";
        if (DrawnBounds(draws, w, h, b)) std::snprintf(text, sizeof text, "%d,%d-%d,%d", b[0], b[1], b[2], b[3]);
        item.drawn.push_back(text);
        EXPECT_EQ(done, call == 61 ? 1 : 0) << "call " << call;
    }
    return item;
}

std::string Fmt(const char* format, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0, int f = 0)
{
    char text[120];
    std::snprintf(text, sizeof text, format, a, b, c, d, e, f);
    return text;
}

struct FrameCase {
    int line;
    uint16_t kind;
    int32_t w, h;
    int call;    // 1..29 reveal frame k, 31..60 hide frame call - 30
    Lines expected;
};

}  // namespace

// Wipes, slides and zoom on 800 x 600: H/30 = 20, (H/2)/30 = 10,
// W/30 = 26, (W/2)/30 = 13.
TEST(TransitionEffects, WipesSlidesAndZoomMoveByTheirSteps)
{
    const FrameCase cases[] = {
        // Kind 0: frame k shows the top 20k rows; the hide brings the
        // background down 20 rows a frame.
        {__LINE__, 0, 800, 600, 1, {"copy 0,0 800x20 from 0,0"}},
        {__LINE__, 0, 800, 600, 15, {"copy 0,0 800x300 from 0,0"}},
        {__LINE__, 0, 800, 600, 29, {"copy 0,0 800x580 from 0,0"}},
        {__LINE__, 0, 800, 600, 31, {"fill 0,0-800,20"}},
        {__LINE__, 0, 800, 600, 60, {"fill 0,0-800,600"}},
        // Kind 1 from the left edge.
        {__LINE__, 1, 800, 600, 3, {"copy 0,0 78x600 from 0,0"}},
        {__LINE__, 1, 800, 600, 29, {"copy 0,0 754x600 from 0,0"}},
        {__LINE__, 1, 800, 600, 32, {"fill 0,0-52,600"}},
        // Kind 2 opens from y = 300: up 10, taller by 20 a frame; the hide
        // closes 10 rows a frame from each side.
        {__LINE__, 2, 800, 600, 1, {"copy 0,290 800x20 from 0,290"}},
        {__LINE__, 2, 800, 600, 29, {"copy 0,10 800x580 from 0,10"}},
        {__LINE__, 2, 800, 600, 31, {"fill 0,0-800,10", "fill 0,590-800,600"}},
        {__LINE__, 2, 800, 600, 60, {"fill 0,0-800,300", "fill 0,300-800,600"}},
        // Kind 3 opens from x = 400: left 13, wider by 26.
        {__LINE__, 3, 800, 600, 2, {"copy 374,0 52x600 from 374,0"}},
        {__LINE__, 3, 800, 600, 33, {"fill 0,0-39,600", "fill 761,0-800,600"}},
        // Kind 4: both at once; the hide closes top and bottom, then the
        // sides.
        {__LINE__, 4, 800, 600, 10, {"copy 270,200 260x200 from 270,200"}},
        {__LINE__,
         4,
         800,
         600,
         35,
         {"fill 0,0-800,50", "fill 0,550-800,600", "fill 0,0-65,600", "fill 735,0-800,600"}},
        // Kind 5: the bottom rows of the picture at the top of the screen;
        // the hide fills the strip it uncovers on the same frame.
        {__LINE__, 5, 800, 600, 4, {"copy 0,0 800x80 from 0,520"}},
        {__LINE__, 5, 800, 600, 31, {"copy 0,20 800x580 from 0,0", "fill 0,0-800,20"}},
        {__LINE__, 5, 800, 600, 59, {"copy 0,580 800x20 from 0,0", "fill 0,0-800,580"}},
        // Kind 6: the top rows at the bottom; the hide slides it up.
        {__LINE__, 6, 800, 600, 4, {"copy 0,520 800x80 from 0,0"}},
        {__LINE__, 6, 800, 600, 31, {"copy 0,0 800x580 from 0,20", "fill 0,580-800,600"}},
        // Kind 7: the left columns at the right; the hide slides it left.
        {__LINE__, 7, 800, 600, 5, {"copy 670,0 130x600 from 0,0"}},
        {__LINE__, 7, 800, 600, 32, {"copy 0,0 748x600 from 52,0", "fill 748,0-800,600"}},
        // Kind 8: the left edge moves 13 and the width 26 a frame.
        {__LINE__, 8, 800, 600, 1, {"stretch 387,290 26x20 from 0,0 800x600"}},
        {__LINE__, 8, 800, 600, 29, {"stretch 23,10 754x580 from 0,0 800x600"}},
        {__LINE__,
         8,
         800,
         600,
         31,
         {"stretch 13,10 774x580 from 0,0 800x600", "fill 0,0-800,10", "fill 0,590-800,600", "fill 0,0-13,600",
          "fill 787,0-800,600"}},
        // Odd sizes: every quotient truncates, the halves before the thirtieth.
        {__LINE__, 2, 641, 479, 1, {"copy 0,232 641x15 from 0,232"}},
        {__LINE__, 8, 641, 479, 2, {"stretch 300,225 42x30 from 0,0 641x479"}},
    };
    for (const FrameCase& c : cases) {
        Item item = RunItem(c.kind, c.w, c.h);
        EXPECT_EQ(item.calls[c.call], c.expected) << "case at line " << c.line;
    }
}

TEST(TransitionEffects, SetUpCompletionAndFinishDrawTheWholeArea)
{
    for (uint16_t kind = 0; kind < kTransitionKinds; ++kind) {
        Item item = RunItem(kind, 800, 600);
        Lines setUp = {"fill 0,0-800,600"};
        Lines completion = {"copy 0,0 800x600 from 0,0", "dark release"};
        if (kind == 14) {
            setUp.push_back("dark create 800x600");
            completion.push_back("dark create 800x600");   // D = 0: hide set-up on the same call
        }
        EXPECT_EQ(item.calls[0], setUp) << "kind " << kind;
        EXPECT_EQ(item.calls[30], completion) << "kind " << kind;
        EXPECT_EQ(item.calls[61], (Lines{"fill 0,0-800,600", "dark release"})) << "kind " << kind;
        // What a mirrored show presents of these calls: the whole area.
        for (int call : {0, 30, 61}) EXPECT_EQ(item.drawn[call], "0,0-800,600") << "kind " << kind;
    }
    // The part a step presents holds every rectangle it draws.
    Item wipe = RunItem(0, 800, 600);
    EXPECT_EQ(wipe.calls[3], (Lines{"copy 0,0 800x60 from 0,0"}));
    EXPECT_EQ(wipe.drawn[3], "0,0-800,60");
    Item interlock = RunItem(12, 800, 600);
    EXPECT_EQ(interlock.drawn[3], "0,0-800,600");
    Item zoom = RunItem(8, 800, 600);
    EXPECT_EQ(zoom.calls[29], (Lines{"stretch 23,10 754x580 from 0,0 800x600"}));
    EXPECT_EQ(zoom.drawn[29], "23,10-777,590");
}

TEST(TransitionEffects, HorizontalStripesGrowOneRowAFrameOnSixHundred)
{
    Item item = RunItem(9, 800, 600);
    for (int k : {1, 7, 29}) {
        const Lines& frame = item.calls[k];
        ASSERT_EQ(frame.size(), 21u) << "frame " << k;
        for (int i = 0; i <= 20; ++i)
            EXPECT_EQ(frame[i], Fmt("copy 0,%d 800x%d from 0,%d", 30 * i, k, 30 * i)) << "frame " << k;
    }
    const Lines& hide = item.calls[30 + 12];
    ASSERT_EQ(hide.size(), 21u);
    EXPECT_EQ(hide[0], "fill 0,0-800,12");
    EXPECT_EQ(hide[20], "fill 0,600-800,612");
    EXPECT_EQ(item.calls[60][3], "fill 0,90-800,120");   // the thirtieth hide frame covers the pitch
}

TEST(TransitionEffects, VerticalStripesAccumulateWithoutRounding)
{
    // W = 800: pitch 40, growth 4/3 a frame, truncated only when drawn.
    Item item = RunItem(10, 800, 600);
    const int expectedWidth[] = {0, 1, 2, 4, 5, 6, 7};   // 7.999999999999999 at frame 6
    for (int k = 1; k <= 6; ++k) {
        const Lines& frame = item.calls[k];
        ASSERT_EQ(frame.size(), 21u);
        EXPECT_EQ(frame[0], Fmt("copy 0,0 %dx600 from 0,0", expectedWidth[k])) << "frame " << k;
        EXPECT_EQ(frame[20], Fmt("copy 800,0 %dx600 from 800,0", expectedWidth[k])) << "frame " << k;
    }
    EXPECT_EQ(item.calls[29][1], "copy 40,0 38x600 from 40,0");
    EXPECT_EQ(item.calls[33][2], "fill 80,0-84,600");
}

TEST(TransitionEffects, CellsWalkRowByRowThenColumnByColumn)
{
    Item item = RunItem(11, 800, 600);
    const Lines& frame = item.calls[3];
    ASSERT_EQ(frame.size(), 21u * 21u);
    EXPECT_EQ(frame[0], "copy 0,0 4x3 from 0,0");
    EXPECT_EQ(frame[1], "copy 40,0 4x3 from 40,0");
    EXPECT_EQ(frame[20], "copy 800,0 4x3 from 800,0");
    EXPECT_EQ(frame[21], "copy 0,30 4x3 from 0,30");
    EXPECT_EQ(frame[440], "copy 800,600 4x3 from 800,600");
    EXPECT_EQ(item.calls[31][22], "fill 40,30-41,31");
}

TEST(TransitionEffects, InterlockBandsDrawBeforeTheyGrow)
{
    // W = 640: bandLeft grows 21 a frame; the first frame draws nothing.
    Item across = RunItem(12, 640, 600);
    ASSERT_EQ(across.calls[1].size(), 21u);
    EXPECT_EQ(across.calls[1][0], "copy 0,0 0x30 from 0,0");
    EXPECT_EQ(across.calls[1][1], "copy 640,30 0x30 from 640,30");
    EXPECT_EQ(across.calls[2][0], "copy 0,0 21x30 from 0,0");
    EXPECT_EQ(across.calls[2][1], "copy 619,30 21x30 from 619,30");
    EXPECT_EQ(across.calls[10][2], "copy 0,60 189x30 from 0,60");
    EXPECT_EQ(across.calls[10][20], "copy 0,600 189x30 from 0,600");
    EXPECT_EQ(across.calls[31][0], "fill 0,0-0,30");
    EXPECT_EQ(across.calls[33][0], "fill 0,0-42,30");
    EXPECT_EQ(across.calls[33][1], "fill 598,30-640,60");

    // Kind 13 on 800 x 600: pitch 40 columns, bands grow 20 rows a frame.
    Item down = RunItem(13, 800, 600);
    ASSERT_EQ(down.calls[4].size(), 21u);
    EXPECT_EQ(down.calls[4][0], "copy 0,0 40x60 from 0,0");
    EXPECT_EQ(down.calls[4][1], "copy 40,540 40x60 from 40,540");
    EXPECT_EQ(down.calls[32][3], "fill 120,580-160,600");
    EXPECT_EQ(down.calls[32][4], "fill 160,0-200,20");
}

TEST(TransitionEffects, FromDarkStepsTheGreyByEight)
{
    Item item = RunItem(14, 800, 600);
    for (int k = 1; k <= 29; ++k) {
        int grey = 8 * (k - 1);
        EXPECT_EQ(item.calls[k], (Lines{Fmt("dark %d,%d,%d fill 800x600 and 800x600", grey, grey, grey)}))
            << "reveal frame " << k;
    }
    for (int j = 1; j <= 30; ++j) {
        int grey = 255 - 8 * (j - 1);
        EXPECT_EQ(item.calls[30 + j], (Lines{Fmt("dark %d,%d,%d fill 800x600 and 800x600", grey, grey, grey)}))
            << "hide frame " << j;
    }
}

TEST(TransitionEffects, SmallAreasGiveEmptyStepsAndStillFinish)
{
    // Below 30 pixels the steps are zero: the wipes copy nothing until the
    // completion copies everything.
    Item wipe = RunItem(0, 29, 29);
    EXPECT_EQ(wipe.calls[15], (Lines{"copy 0,0 29x0 from 0,0"}));
    EXPECT_EQ(wipe.drawn[15], "");   // nothing to present
    EXPECT_EQ(wipe.calls[30][0], "copy 0,0 29x29 from 0,0");
    Item zoom = RunItem(8, 25, 25);
    EXPECT_EQ(zoom.calls[29], (Lines{"stretch 12,12 0x0 from 0,0 25x25"}));

    // Below 20 pixels the stripes walk with a pitch of 1: every row, and
    // the walk ends at the edge.
    Item stripes = RunItem(9, 19, 19);
    ASSERT_EQ(stripes.calls[5].size(), 20u);
    EXPECT_EQ(stripes.calls[5][19], "copy 0,19 19x0 from 0,19");
    Item interlock = RunItem(12, 50, 10);
    ASSERT_EQ(interlock.calls[3].size(), 11u);
    EXPECT_EQ(interlock.calls[3][0], "copy 0,0 2x1 from 0,0");
    EXPECT_EQ(interlock.calls[3][1], "copy 48,1 2x1 from 48,1");
    Item cells = RunItem(11, 39, 39);
    EXPECT_EQ(cells.calls[1].size(), 40u * 40u);
}

TEST(TransitionEffects, NoAreaMakesAFrameUnbounded)
{
    // Sizes that would stall or wrap a 16-bit walk: zero, negative, the
    // 16-bit edge and beyond.
    const int32_t sizes[] = {0, 1, 19, 20, 39, 40, 65535, 70000, -5, 2000000};
    for (int32_t w : sizes) {
        for (int32_t h : {0, 19, 65535, -5}) {
            for (uint16_t kind = 9; kind <= 13; ++kind) {
                uint16_t list[kEnabledTransitionSlots] = {kind};
                TransitionInputs in = {w, h, 0, 0, list, 1};
                TransitionState s = {};
                int call = 0;
                while (AdvanceTransition(&s, in, &draws) == 0 && call < 100) {
                    ASSERT_LE(draws.count, static_cast<uint32_t>(kMaxStripeWalk * kMaxStripeWalk))
                        << "kind " << kind << " " << w << "x" << h << " call " << call;
                    ++call;
                }
                EXPECT_EQ(call, 61) << "kind " << kind << " " << w << "x" << h;
            }
        }
    }
    // 65535 high: the walk stops before its position wraps to the top.
    Item item = RunItem(9, 100, 65535);
    ASSERT_EQ(item.calls[1].size(), 21u);
    EXPECT_EQ(item.calls[1][20], "copy 0,65520 100x109 from 0,65520");
}
