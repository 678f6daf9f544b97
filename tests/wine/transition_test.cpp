// The engine drawing into a real 800 x 600 window: what the screen shows
// on chosen ticks, read back pixel by pixel.
#include <gtest/gtest.h>

#include "saver/saver_state.h"
#include "saver/transitions/transition_win.h"
#include "tests/wine/wine_test_util.h"

namespace {

const COLORREF kBackground = RGB(0, 0, 255);
const int kW = 800;
const int kH = 600;

struct Point {
    int x, y;
};
const Point kProbes[] = {{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}, {123, 456}, {650, 77}, {399, 299}};

struct TransitionWindowTest : testing::Test {
    HWND host = nullptr;
    HDC screen = nullptr;
    HDC source = nullptr;
    HBITMAP picture = nullptr;
    HGDIOBJ oldPicture = nullptr;
    int calls = 0;

    void SetUp() override
    {
        FreshSaverState();
        host = CreateHostWindow(kW, kH);
        ASSERT_NE(host, nullptr);
        screen = GetDC(host);
        g.clientRect = {0, 0, kW, kH};
        g.BackgroundBrush = CreateSolidBrush(kBackground);
        g.settings.FadeCount = 1;
        source = CreateCompatibleDC(screen);
        picture = CreateCompatibleBitmap(screen, kW, kH);
        oldPicture = SelectObject(source, picture);
        PaintPicture();
    }
    void TearDown() override
    {
        ReleaseDarkSurface();
        SelectObject(source, oldPicture);
        DeleteObject(picture);
        DeleteDC(source);
        ReleaseDC(host, screen);
        DeleteObject(g.BackgroundBrush);
        g.BackgroundBrush = nullptr;
        DestroyWindow(host);
        PumpMessages();
    }

    // Four quadrants and a band across the middle: no two probes that
    // should differ share a colour, and none is the background.
    void PaintPicture()
    {
        struct Block {
            RECT rect;
            COLORREF colour;
        } const blocks[] = {
            {{0, 0, 400, 300}, RGB(200, 40, 40)},    {{400, 0, 800, 300}, RGB(40, 200, 40)},
            {{0, 300, 400, 600}, RGB(40, 40, 200)},  {{400, 300, 800, 600}, RGB(220, 220, 60)},
            {{100, 250, 700, 350}, RGB(200, 120, 255)},
        };
        for (const Block& b : blocks) {
            HBRUSH brush = CreateSolidBrush(b.colour);
            FillRect(source, &b.rect, brush);
            DeleteObject(brush);
        }
    }

    void Use(uint16_t kind, uint32_t display)
    {
        g.settings.EnabledTransitions[0] = kind;
        g.settings.FadeCount = 1;
        g.settings.Display = display;
    }
    int Step()
    {
        ++calls;
        return StepTransition(screen, source);
    }
    void StepTo(int call)   // leaves the engine after the given call (0-based)
    {
        while (calls <= call) ASSERT_EQ(Step(), 0);
    }
    COLORREF Shown(int x, int y) { return GetPixel(screen, x, y); }
    COLORREF Picture(int x, int y) { return GetPixel(source, x, y); }
};

COLORREF And(COLORREF c, int grey)
{
    return RGB(GetRValue(c) & grey, GetGValue(c) & grey, GetBValue(c) & grey);
}

}  // namespace

TEST_F(TransitionWindowTest, EveryKindEndsWithThePictureThenTheBackground)
{
    for (uint16_t kind = 0; kind < kTransitionKinds; ++kind) {
        calls = 0;
        Use(kind, 3);
        StepTo(0);
        for (const Point& p : kProbes) EXPECT_EQ(Shown(p.x, p.y), kBackground) << "kind " << kind;
        StepTo(30);
        for (const Point& p : kProbes)
            EXPECT_EQ(Shown(p.x, p.y), Picture(p.x, p.y)) << "kind " << kind << " at " << p.x << "," << p.y;
        EXPECT_EQ(g.darkSurface.dc, nullptr) << "kind " << kind;
        StepTo(3 + 30);   // the hold and the hide set-up draw nothing
        for (const Point& p : kProbes) EXPECT_EQ(Shown(p.x, p.y), Picture(p.x, p.y)) << "kind " << kind;
        StepTo(3 + 60);
        int result = Step();
        EXPECT_EQ(result, 1) << "kind " << kind;
        EXPECT_EQ(calls, 3 + 62) << "kind " << kind;
        for (const Point& p : kProbes) EXPECT_EQ(Shown(p.x, p.y), kBackground) << "kind " << kind;
        EXPECT_EQ(g.darkSurface.dc, nullptr) << "kind " << kind;
        EXPECT_EQ(g.darkSurface.bitmap, nullptr) << "kind " << kind;
        EXPECT_EQ(g.transition.frameIndex, 0) << "kind " << kind;
    }
}

TEST_F(TransitionWindowTest, WipeShowsThePictureAboveItsEdge)
{
    Use(0, 0);
    StepTo(15);   // the top 300 rows
    for (int x : {0, 150, 450, 799}) {
        EXPECT_EQ(Shown(x, 0), Picture(x, 0)) << x;
        EXPECT_EQ(Shown(x, 299), Picture(x, 299)) << x;
        EXPECT_EQ(Shown(x, 300), kBackground) << x;
        EXPECT_EQ(Shown(x, 599), kBackground) << x;
    }
    StepTo(30 + 10);   // hide frame 10: 200 rows of background from the top
    EXPECT_EQ(Shown(500, 199), kBackground);
    EXPECT_EQ(Shown(500, 200), Picture(500, 200));
}

TEST_F(TransitionWindowTest, SlideDownFillsTheStripItUncovers)
{
    Use(5, 0);
    StepTo(4);   // the bottom 80 rows of the picture stand at the top
    EXPECT_EQ(Shown(50, 0), Picture(50, 520));
    EXPECT_EQ(Shown(750, 79), Picture(750, 599));
    EXPECT_EQ(Shown(50, 80), kBackground);
    StepTo(30 + 10);   // moved down 200 rows
    EXPECT_EQ(Shown(50, 199), kBackground);
    EXPECT_EQ(Shown(50, 200), Picture(50, 0));
    EXPECT_EQ(Shown(450, 599), Picture(450, 399));
}

TEST_F(TransitionWindowTest, FromDarkShowsThePictureAndedWithTheGrey)
{
    Use(14, 0);
    StepTo(10);   // reveal frame 10: grey 72
    for (const Point& p : kProbes)
        EXPECT_EQ(Shown(p.x, p.y), And(Picture(p.x, p.y), 72)) << p.x << "," << p.y;
    EXPECT_NE(g.darkSurface.dc, nullptr);
    EXPECT_EQ(g.darkBrush, nullptr);   // made and deleted within the call
    StepTo(30 + 1);                    // first hide frame: grey 255, unchanged
    for (const Point& p : kProbes) EXPECT_EQ(Shown(p.x, p.y), Picture(p.x, p.y));
    StepTo(30 + 3);   // grey 239
    for (const Point& p : kProbes) EXPECT_EQ(Shown(p.x, p.y), And(Picture(p.x, p.y), 239));
}

TEST_F(TransitionWindowTest, ZoomGrowsAboutTheCentre)
{
    Use(8, 0);
    StepTo(15);   // 390 x 300 at (205, 150)
    EXPECT_EQ(Shown(204, 300), kBackground);
    EXPECT_EQ(Shown(400, 149), kBackground);
    EXPECT_EQ(Shown(210, 155), Picture(10, 10));
    EXPECT_EQ(Shown(590, 445), Picture(790, 590));
}

TEST_F(TransitionWindowTest, DestructionMidItemReleasesTheScratchSurface)
{
    Use(14, 0);
    StepTo(5);
    ASSERT_NE(g.darkSurface.dc, nullptr);
    ReleaseDarkSurface();
    EXPECT_EQ(g.darkSurface.dc, nullptr);
    EXPECT_EQ(g.darkSurface.bitmap, nullptr);
    EXPECT_EQ(g.darkSurface.oldBitmap, nullptr);
    EXPECT_EQ(g.transition.frameIndex, 0);
    calls = 0;
    StepTo(0);   // a new item starts with the set-up
    EXPECT_EQ(Shown(400, 300), kBackground);
}
