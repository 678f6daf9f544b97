#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/opening/opening_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
const int kW = 640, kH = 480;
const int kFrameX = 196, kFrameY = 186;      // K1 of 248 x 109 centred on 640 x 480

bool IsWhite(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200; }
bool IsYellow(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) < 80; }

HWND FindList(HWND saver) { return FindWindowExW(saver, nullptr, L"LISTBOX", nullptr); }

std::wstring ListText(HWND list, int index)
{
    LRESULT n = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR) return L"<none>";
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(n));
    return text;
}

// Left edge and widths of a line in the font the opening made for it.
struct LineMetrics {
    int left, whole, firstTwo, height;
};
LineMetrics MeasureLine(HFONT font, const char* text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE whole = {}, two = {};
    TextExtent932(dc, text, -1, &whole);
    TextExtent932(dc, text, 2, &two);
    SelectObject(dc, old);
    DeleteDC(dc);
    LineMetrics m = {kW / 2 - whole.cx / 2, static_cast<int>(whole.cx), static_cast<int>(two.cx),
                     static_cast<int>(whole.cy)};
    return m;
}

// How many pixels of a band of the window satisfy a test.
template <typename Test>
int CountPixels(HWND window, int x0, int x1, int y0, int y1, Test test)
{
    HDC dc = GetDC(window);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (test(GetPixel(dc, x, y))) ++n;
    ReleaseDC(window, dc);
    return n;
}

bool NotBlack(COLORREF c) { return (c & 0xFFFFFF) != 0; }

struct OpeningTest : SaverWindowTest {
    // The opening switched on with hold d, in the registry and, for
    // loaders that do not read it yet, in the settings themselves.
    void Start(uint32_t d)
    {
        SetSettingDword("Opening", 1);
        SetSettingDword("Display", d);
        SetSettingText("FilePath", "C:\\no\\such\\folder");
        ASSERT_NO_FATAL_FAILURE(OpenSaver(kW, kH));
        g.settings.Opening = 1;
        g.settings.Display = d;
        ASSERT_EQ(g.clientRect.right, kW);
        ASSERT_EQ(g.clientRect.bottom, kH);
    }
};

LRESULT CALLBACK RefuseListBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        LPCWSTR cls = create->lpcs->lpszClass;
        if (!IS_INTRESOURCE(cls) && lstrcmpiW(cls, L"LISTBOX") == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}

TEST_F(OpeningTest, FirstTickShowsK1AndTheFirstTwoBytesOfEachLine)
{
    Start(100);
    Tick(saver, 1);
    EXPECT_EQ(g.openingState, 0u);
    for (HBITMAP frame : g.frameBitmaps) EXPECT_NE(frame, nullptr);
    EXPECT_EQ(g.titleShown, 2);
    EXPECT_EQ(g.creditShown, 2);

    // The frame on the screen is K1's own pixels.
    HBITMAP k1 = LoadBitmapW(GetModuleHandleW(nullptr), L"K1");
    ASSERT_NE(k1, nullptr);
    BITMAP info = {};
    GetObjectW(k1, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 248);
    EXPECT_EQ(info.bmHeight, 109);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, k1);
    int compared = 0, coloured = 0;
    for (int y = 2; y < info.bmHeight; y += 7) {
        for (int x = 3; x < info.bmWidth; x += 11) {
            COLORREF want = GetPixel(mem, x, y);
            if (NotBlack(want)) ++coloured;
            EXPECT_EQ(PixelAt(saver, kFrameX + x, kFrameY + y), want) << x << "," << y;
            ++compared;
        }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(k1);
    EXPECT_GT(compared, 300);
    EXPECT_GT(coloured, 3);

    // White title and yellow credit: only their first character so far.
    LineMetrics title = MeasureLine(g.titleFont, g.titleText);
    LineMetrics credit = MeasureLine(g.creditFont, g.creditText);
    ASSERT_GT(title.whole, 4 * title.firstTwo);
    EXPECT_GT(CountPixels(saver, title.left, title.left + title.firstTwo, 120, 120 + title.height, IsWhite), 10);
    EXPECT_EQ(CountPixels(saver, title.left + title.firstTwo + 2, title.left + title.whole, 120,
                          120 + title.height, IsWhite),
              0);
    EXPECT_GT(CountPixels(saver, credit.left, credit.left + credit.firstTwo, 360, 360 + credit.height, IsYellow),
              10);
    EXPECT_EQ(CountPixels(saver, credit.left + credit.firstTwo + 2, credit.left + credit.whole, 360,
                          360 + credit.height, IsYellow),
              0);

    // Typed out: the title's last character is there once it is complete.
    Tick(saver, 19);
    EXPECT_EQ(g.titleShown, std::strlen(g.titleText));
    int lastQuarter = title.left + title.whole * 3 / 4;
    EXPECT_GT(CountPixels(saver, lastQuarter, title.left + title.whole, 120, 120 + title.height, IsWhite), 10);
}

TEST_F(OpeningTest, CutInsideADoubleByteCharacterDrawsNothingGarbled)
{
    Start(100);
    // "Aミルカナ": after one tick the cut falls between the lead and the
    // trail byte of "ミ".
    std::strcpy(g.titleText, "A\x83\x7e\x83\x8b\x83\x4a\x83\x69");
    Tick(saver, 1);
    ASSERT_EQ(g.titleShown, 2);
    LineMetrics title = MeasureLine(g.titleFont, g.titleText);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, g.titleFont);
    SIZE a = {}, am = {};
    TextExtent932(dc, "A", 1, &a);
    TextExtent932(dc, g.titleText, 3, &am);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_GT(CountPixels(saver, title.left, title.left + a.cx, 120, 120 + title.height, IsWhite), 5);
    EXPECT_EQ(CountPixels(saver, title.left + a.cx + 1, title.left + title.whole, 120, 120 + title.height, IsWhite),
              0);
    Tick(saver, 1);   // "Aミ" and half of "ル"
    EXPECT_GT(CountPixels(saver, title.left + a.cx + 1, title.left + am.cx, 120, 120 + title.height, IsWhite), 5);
    EXPECT_EQ(CountPixels(saver, title.left + am.cx + 1, title.left + title.whole, 120, 120 + title.height, IsWhite),
              0);
}

TEST_F(OpeningTest, WindowSurfaceKeepsItsOwnFontBetweenTicks)
{
    Start(100);
    Tick(saver, 3);
    ASSERT_NE(g.savedFont, nullptr);
    ASSERT_NE(g.titleFont, nullptr);
    EXPECT_NE(g.savedFont, g.titleFont);
    HDC dc = GetDC(saver);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), g.savedFont);
    ReleaseDC(saver, dc);
    EXPECT_EQ(g.ScreenSurface, nullptr);
}

TEST_F(OpeningTest, ListIsUpForExactlyTheLastSixtyTwoTicks)
{
    const uint32_t d = 3;
    Start(d);
    HWND seen = nullptr;
    int ticksUp = 0;
    for (uint32_t t = 0; t < d + 62; ++t) {
        SCOPED_TRACE(t);
        Tick(saver, 1);
        HWND list = FindList(saver);
        if (t < d || t == d + 61) {
            EXPECT_EQ(list, nullptr);
            EXPECT_EQ(g.sysInfoWindow, nullptr);
            continue;
        }
        ASSERT_NE(list, nullptr);
        ++ticksUp;
        EXPECT_EQ(list, g.sysInfoWindow);
        if (seen == nullptr) {
            seen = list;
            EXPECT_TRUE(IsWindowVisible(list));
            EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 7);
            RECT r;
            GetWindowRect(list, &r);
            MapWindowPoints(nullptr, saver, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, 426);
            EXPECT_EQ(r.top, 240);
            EXPECT_EQ(r.right - r.left, 213);
            // Without LBS_NOINTEGRALHEIGHT the list trims itself to whole rows.
            LRESULT row = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
            EXPECT_LE(r.bottom - r.top, 120);
            EXPECT_GT(r.bottom - r.top, 120 - row);
            EXPECT_EQ(ListText(list, 0), L"\u2606 DisplayPixels = 640 * 480");
            EXPECT_EQ(ListText(list, 5).substr(0, 13), L"\u25c7 AVI Play = ");
        }
        EXPECT_EQ(list, seen);   // one list, not a new one per tick
    }
    EXPECT_EQ(ticksUp, 61);      // up after 61 ticks, gone with the 62nd
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(g.openingState, 100u);
}

TEST_F(OpeningTest, WatchedBusyPortAddsAnEighthLine)
{
    Start(0);
    g.portsChosen = 1;
    g.portsFree = 0;
    Tick(saver, 1);
    HWND list = FindList(saver);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(ListText(list, 7), L"\u25c6 COM Used   ");
    EXPECT_EQ(ListText(list, 2), L"\u2606 KelmoraFileCount = 0");
}

TEST_F(OpeningTest, ListThatCouldNotBeMadeAtFirstIsGoneWhenTheOpeningEnds)
{
    Start(0);
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseListBoxes, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Tick(saver, 1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(FindList(saver), nullptr);
    EXPECT_EQ(g.sysInfoTicks, 0u);
    Tick(saver, 1);                      // tried again
    HWND list = FindList(saver);
    ASSERT_NE(list, nullptr);
    Tick(saver, 59);
    EXPECT_TRUE(IsWindow(list));
    Tick(saver, 1);                      // the opening's last tick
    EXPECT_EQ(g.openingState, 100u);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(g.sysInfoWindow, nullptr);
    EXPECT_EQ(g.sysInfoTicks, 0u);
}

TEST_F(OpeningTest, LastTickErasesEverythingAndReleasesIt)
{
    Start(0);
    Tick(saver, 61);
    ASSERT_EQ(g.openingState, 0u);
    LineMetrics title = MeasureLine(g.titleFont, g.titleText);
    LineMetrics credit = MeasureLine(g.creditFont, g.creditText);
    HFONT titleFont = g.titleFont, creditFont = g.creditFont;
    HBITMAP k13 = g.frameBitmaps[12];
    auto frameArea = [&](bool (*test)(COLORREF)) {
        return CountPixels(saver, kFrameX, kFrameX + 248, kFrameY, kFrameY + 109, test);
    };
    auto titleArea = [&](bool (*test)(COLORREF)) {
        return CountPixels(saver, title.left, title.left + title.whole, 120, 120 + title.height, test);
    };
    auto creditArea = [&](bool (*test)(COLORREF)) {
        return CountPixels(saver, credit.left, credit.left + credit.whole, 360, 360 + credit.height, test);
    };
    ASSERT_GT(frameArea(NotBlack), 100);
    ASSERT_GT(titleArea(NotBlack), 100);
    ASSERT_GT(creditArea(NotBlack), 100);

    // The last step on its own, before the show cycle moves on to an item.
    OpeningStep(saver);
    EXPECT_EQ(g.openingState, 100u);
    EXPECT_EQ(g.itemBusy, 0u);
    EXPECT_EQ(frameArea(NotBlack), 0);
    EXPECT_EQ(titleArea(NotBlack), 0);
    EXPECT_EQ(creditArea(NotBlack), 0);
    for (HBITMAP frame : g.frameBitmaps) EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(g.titleFont, nullptr);
    EXPECT_EQ(g.creditFont, nullptr);
    EXPECT_EQ(g.SourceSurface.dc, nullptr);
    EXPECT_EQ(g.savedFont, nullptr);
    // Really deleted, which a font or bitmap still selected somewhere is not.
    EXPECT_EQ(GetObjectType(titleFont), 0u);
    EXPECT_EQ(GetObjectType(creditFont), 0u);
    EXPECT_EQ(GetObjectType(k13), 0u);
    EXPECT_EQ(g.openingTicks, 0u);
    EXPECT_EQ(g.frameTicks, 0u);
    EXPECT_EQ(g.titleTicks, 0u);
}

TEST_F(OpeningTest, FirstItemStartsOnTheOpeningsLastTick)
{
    Start(0);
    Tick(saver, 61);
    EXPECT_EQ(g.openingState, 0u);
    EXPECT_STREQ(g.currentPath, L"");
    Tick(saver, 1);
    EXPECT_EQ(g.openingState, 100u);
    EXPECT_STREQ(g.currentPath, L"EM998");
    EXPECT_EQ(g.currentKind, 1u);
}

TEST_F(OpeningTest, DestroyedMidOpeningLeavesNothingBehind)
{
    Start(2);
    Tick(saver, 4);                      // frames, fonts and the list are all up
    HWND list = FindList(saver);
    ASSERT_NE(list, nullptr);
    HFONT titleFont = g.titleFont, creditFont = g.creditFont;
    std::vector<HBITMAP> frames(g.frameBitmaps, g.frameBitmaps + kOpeningFrames);
    ASSERT_EQ(GetObjectType(titleFont), static_cast<DWORD>(OBJ_FONT));
    DestroyWindow(saver);
    PumpMessages();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(g.sysInfoWindow, nullptr);
    EXPECT_EQ(g.titleFont, nullptr);
    EXPECT_EQ(g.creditFont, nullptr);
    EXPECT_EQ(g.savedFont, nullptr);
    EXPECT_EQ(g.SourceSurface.dc, nullptr);
    EXPECT_EQ(GetObjectType(titleFont), 0u);
    EXPECT_EQ(GetObjectType(creditFont), 0u);
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g.frameBitmaps[i], nullptr);
        EXPECT_EQ(GetObjectType(frames[i]), 0u);
    }
}
