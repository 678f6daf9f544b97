#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/cycle_win.h"
#include "saver/common/errors_win.h"
#include "tests/wine/wine_test_util.h"

#include <string>
#include <vector>

namespace {
// "ミルカナ Screen Saver R1.51 for WIN32"
const char kTitle[] = "\x83\x7e\x83\x8b\x83\x4a\x83\x69 Screen Saver R1.51 for WIN32";
// "Em002 ミルカナが読めません"
const char kEm002[] = "Em002 \x83\x7e\x83\x8b\x83\x4a\x83\x69\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
// "Em051 カラーの登録数が上限を超えました"
const char kEm051[] = "Em051 \x83\x4a\x83\x89\x81\x5b\x82\xcc\x93\x6f\x98\x5e\x90\x94\x82\xaa\x8f\xe3\x8c\xc0\x82\xf0"
                      "\x92\xb4\x82\xa6\x82\xdc\x82\xb5\x82\xbd";

struct ErrorsTest : testing::Test {
    HWND window = nullptr;
    void SetUp() override { FreshSaverState(); }
    void TearDown() override
    {
        if (window) DestroyWindow(window);
        PumpMessages();
    }
    void Open(int w, int h)
    {
        window = CreateHostWindow(w, h);
        ASSERT_NE(window, nullptr);
        GetClientRect(window, &g.clientRect);
        // Paint the gray background now, so that nothing repaints over
        // the message later.
        UpdateWindow(window);
        PumpMessages();
    }
};

// Rows of the client area where the message's opaque white cell shows,
// looking at the first columns only (the message starts at x = 0).
std::vector<int> WhiteRows(HWND w, int height)
{
    std::vector<int> rows;
    HDC dc = GetDC(w);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 12; ++x)
            if (GetPixel(dc, x, y) == RGB(255, 255, 255)) {
                rows.push_back(y);
                break;
            }
    ReleaseDC(w, dc);
    return rows;
}

int SystemFontHeight(HWND w)
{
    HDC dc = GetDC(w);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    ReleaseDC(w, dc);
    return tm.tmHeight;
}

}

TEST_F(ErrorsTest, ReturnOnlyGivesTheNumberedMessage)
{
    struct Case {
        int line;
        int code;
        const char* text;
    } cases[] = {
        {__LINE__, 2, kEm002},
        {__LINE__, 51, kEm051},
        // "Em998 ミルカナファイルが見つかりません"
        {__LINE__, 998,
         "Em998 \x83\x7e\x83\x8b\x83\x4a\x83\x69\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8"
         "\x82\xdc\x82\xb9\x82\xf1"},
        // "Em044 このルミナフTextGenDLLには設定用ﾌﾟﾛｾｼﾞｬはありません": half-width kana are one byte each
        {__LINE__, 44,
         "Em044 \x82\xb1\x82\xcc\x83\x8b\x83\x7e\x83\x69\x83\x74TextGenDLL\x82\xc9\x82\xcd\x90\xdd\x92\xe8\x97\x70"
         "\xcc\xdf\xdb\xbe\xbc\xde\xac\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1"},
        {__LINE__, 3, ""},
        {__LINE__, 24, ""},
        {__LINE__, 999, ""},
    };
    for (const Case& c : cases) {
        // Each call starts from a cleared buffer: a code without a message
        // must not show the previous one.
        ReportError(nullptr, 41, ReturnOnly);
        const char* text = ReportError(nullptr, c.code, ReturnOnly);
        EXPECT_EQ(text, g.errorText) << "line " << c.line;
        EXPECT_STREQ(text, c.text) << "line " << c.line;
    }
}

TEST_F(ErrorsTest, DrawnMessageStandsAtHalfTheWidth)
{
    Open(320, 240);
    int h = SystemFontHeight(window);
    ASSERT_GT(h, 0);
    ASSERT_TRUE(WhiteRows(window, 240).empty());
    ReportError(window, 2, DrawOnWindow);
    std::vector<int> rows = WhiteRows(window, 240);
    ASSERT_FALSE(rows.empty()) << "nothing drawn";
    EXPECT_EQ(rows.front(), 160);   // W/2, not H/2
    EXPECT_EQ(rows.back(), 160 + h - 1);
}

TEST_F(ErrorsTest, DrawnMessageMovesUpOnAWideWindow)
{
    // W/2 = 320 lies below the bottom of a 640 x 200 window.
    Open(640, 200);
    int h = SystemFontHeight(window);
    ReportError(window, 4, DrawOnWindow);
    std::vector<int> rows = WhiteRows(window, 200);
    ASSERT_FALSE(rows.empty()) << "nothing drawn";
    EXPECT_EQ(rows.front(), 200 - h);
    EXPECT_EQ(rows.back(), 199);
}

TEST_F(ErrorsTest, ItemSurfaceModeDrawsOnTheTicksSurface)
{
    Open(320, 240);
    // Without a surface of the tick there is nowhere to draw.
    ReportError(window, 2, DrawOnItemSurface);
    EXPECT_TRUE(WhiteRows(window, 240).empty());

    g.ScreenSurface = GetDC(window);
    ReportError(window, 2, DrawOnItemSurface);
    ReleaseDC(window, g.ScreenSurface);
    g.ScreenSurface = nullptr;
    std::vector<int> rows = WhiteRows(window, 240);
    ASSERT_FALSE(rows.empty()) << "nothing drawn";
    EXPECT_EQ(rows.front(), 160);
}

TEST_F(ErrorsTest, OtherModesShowNothing)
{
    Open(320, 240);
    for (int mode : {1, 5, -1}) {
        EXPECT_STREQ(ReportError(window, 2, mode), kEm002) << "mode " << mode;
        EXPECT_TRUE(WhiteRows(window, 240).empty()) << "mode " << mode;
    }
}

TEST_F(ErrorsTest, MessageBoxCarriesTheTextAndTheTitle)
{
    Open(200, 100);
    LoadStartupStrings();
    ASSERT_STREQ(g.titleText, kTitle);
    struct Case {
        int line;
        int code;
        const char* text;
    } cases[] = {
        {__LINE__, 51, kEm051},
        {__LINE__, 3, ""},   // no message: an empty box, still with its caption
    };
    for (const Case& c : cases) {
        SeenBox box = WatchMessageBox([&] { ReportError(window, c.code, ShowMessageBox); });
        ASSERT_TRUE(box.found) << "line " << c.line << ": no message box";
        EXPECT_EQ(box.caption, kTitle) << "line " << c.line;
        if (c.text[0] != '\0') EXPECT_TRUE(HasText(box, c.text)) << "line " << c.line;
        else EXPECT_FALSE(HasText(box, kEm051)) << "line " << c.line;
        EXPECT_STREQ(g.errorText, c.text) << "line " << c.line;
    }
}
