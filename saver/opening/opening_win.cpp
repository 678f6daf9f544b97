// The opening: thirteen frames in the middle of the screen, the title and
// the credit typed out above and below, and near the end the system
// information list. The timeline is decided in opening.cpp.
#include "saver/opening/opening.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/opening/opening_win.h"

#include <cstring>

namespace {
const wchar_t* const kFrameNames[kOpeningFrameCount] = {
    L"K1", L"K2", L"K3", L"K4", L"K5", L"K6", L"K7", L"K8", L"K9", L"K10", L"K11", L"K12", L"K13",
};
// "ＭＳ ゴシック"
const char kOpeningFace[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
const int kTitleWeight = 700;
const int kCreditWeight = 400;
const BYTE kModernFamily = 48;

int32_t Width() { return g.clientRect.right; }
int32_t Height() { return g.clientRect.bottom; }

size_t TextLength(const char* text, size_t size)
{
    const void* end = std::memchr(text, 0, size);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - text) : size;
}

void DeleteFrames()
{
    for (HBITMAP& frame : g.frameBitmaps) DeleteGdiObject(frame);
}

void DeleteOpeningFonts()
{
    DeleteGdiObject(g.titleFont);
    DeleteGdiObject(g.creditFont);
}

// The frames are only ever selected into the surface, never owned by it.
void ReleaseFrameSurface()
{
    g.SourceSurface.bitmap = nullptr;
    ReleaseMemorySurface(&g.SourceSurface);
}

SIZE FrameSize()
{
    SIZE size = {0, 0};
    BITMAP info;
    if (g.frameBitmaps[0] && GetObjectW(g.frameBitmaps[0], sizeof info, &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    return size;
}

void OpeningAnimationStep(HWND window)
{
    AnimationTick tick = AdvanceAnimation(&g.frameTicks, g.settings.Display);
    HDC screen = GetDC(window);
    g.ScreenSurface = screen;
    if (tick.load) {
        DeleteFrames();
        for (int i = 0; i < kOpeningFrameCount; ++i) g.frameBitmaps[i] = LoadBitmapW(g.instance, kFrameNames[i]);
        if (g.SourceSurface.dc == nullptr) {
            g.SourceSurface.dc = CreateCompatibleDC(screen);
            if (g.SourceSurface.dc) g.SourceSurface.oldBitmap = GetCurrentObject(g.SourceSurface.dc, OBJ_BITMAP);
        }
    }
    // Every frame is copied at K1's size, whatever its own.
    SIZE size = FrameSize();
    Point32 at = FramePosition(Width(), Height(), size.cx, size.cy);
    if (tick.erase) {
        RECT r = {at.x, at.y, at.x + size.cx, at.y + size.cy};
        if (g.BackgroundBrush) FillRect(screen, &r, g.BackgroundBrush);
    } else if (g.SourceSurface.dc) {
        HBITMAP frame = g.frameBitmaps[tick.frame];
        if (frame) SelectObject(g.SourceSurface.dc, frame);
        BitBlt(screen, at.x, at.y, size.cx, size.cy, g.SourceSurface.dc, 0, 0, SRCCOPY);
    }
    ReleaseDC(window, screen);
    g.ScreenSurface = nullptr;
    if (tick.erase) {
        ReleaseFrameSurface();
        DeleteFrames();
    }
}

// Measures the whole line so that its left edge stays put while it grows.
SIZE LineExtent(HDC screen, HFONT font, const char* text, size_t length)
{
    if (font) SelectObject(screen, font);
    SIZE size = {0, 0};
    TextExtent932(screen, text, static_cast<int>(length), &size);
    return size;
}

void TypeLine(HDC screen, HFONT font, const char* text, size_t length, uint16_t shown, int32_t top,
              COLORREF colour)
{
    SetBkMode(screen, TRANSPARENT);
    SIZE size = LineExtent(screen, font, text, length);
    SetTextColor(screen, colour);
    // A cut inside a double-byte character draws up to the character before.
    TextOut932(screen, LineLeft(Width(), size.cx), top, text, shown);
}

void EraseLine(HDC screen, HFONT font, const char* text, size_t length, int32_t top)
{
    SIZE size = LineExtent(screen, font, text, length);
    int32_t left = LineLeft(Width(), size.cx);
    RECT r = {left, top, left + size.cx, top + size.cy};
    if (g.BackgroundBrush) FillRect(screen, &r, g.BackgroundBrush);
}

void OpeningTitleStep(HWND window)
{
    size_t titleLength = TextLength(g.titleText, sizeof g.titleText);
    size_t creditLength = TextLength(g.creditText, sizeof g.creditText);
    TitleCounters counters = {g.titleTicks, g.titleShown, g.creditShown};
    TitleTick tick = AdvanceTitle(&counters, g.settings.Display, titleLength, creditLength);
    g.titleTicks = counters.titleTicks;
    g.titleShown = counters.titleShown;
    g.creditShown = counters.creditShown;

    HDC screen = GetDC(window);
    g.ScreenSurface = screen;
    int oldMode = GetBkMode(screen);
    COLORREF oldColour = GetTextColor(screen);
    if (tick.createFonts) {
        DeleteOpeningFonts();
        CellSize title = TitleCellSize(Width(), titleLength);
        CellSize credit = CreditCellSize(Width(), creditLength);
        g.titleFont = CreateFont932(title.height, title.width, kTitleWeight, SHIFTJIS_CHARSET, kModernFamily,
                                    kOpeningFace);
        g.creditFont = CreateFont932(credit.height, credit.width, kCreditWeight, SHIFTJIS_CHARSET, kModernFamily,
                                     kOpeningFace);
        if (g.titleFont) {
            HGDIOBJ before = SelectObject(screen, g.titleFont);
            if (g.savedFont == nullptr) g.savedFont = static_cast<HFONT>(before);
        }
    }
    if (tick.drawTitle)
        TypeLine(screen, g.titleFont, g.titleText, titleLength, g.titleShown, TitleTop(Height()),
                 RGB(255, 255, 255));
    if (tick.drawCredit)
        TypeLine(screen, g.creditFont, g.creditText, creditLength, g.creditShown, CreditTop(Height()),
                 RGB(255, 255, 0));
    if (tick.erase) {
        EraseLine(screen, g.titleFont, g.titleText, titleLength, TitleTop(Height()));
        EraseLine(screen, g.creditFont, g.creditText, creditLength, CreditTop(Height()));
    }
    // The window's surface is its own and outlives this tick: hand it back
    // as it was found, so that none of our fonts stays selected in it (a
    // selected font cannot be deleted, and the window may go at any tick).
    if (g.savedFont) SelectObject(screen, g.savedFont);
    SetBkMode(screen, oldMode);
    SetTextColor(screen, oldColour);
    ReleaseDC(window, screen);
    g.ScreenSurface = nullptr;
    if (tick.erase) {
        DeleteOpeningFonts();
        g.savedFont = nullptr;
    }
}
}

void OpeningStep(HWND window)
{
    OpeningAnimationStep(window);
    OpeningTitleStep(window);
    OpeningTick tick = AdvanceOpening(&g.openingTicks, g.settings.Display, g.itemBusy);
    if (tick.systemInfo) SystemInfoStep(window);
    if (tick.ends) {
        // The list normally goes with its 62nd call, this tick; one whose
        // creation had to be retried would otherwise outlive the opening.
        CloseSystemInfo();
        g.openingState = 100;
        g.itemBusy = 0;
    }
}
