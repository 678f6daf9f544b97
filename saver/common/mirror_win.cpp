#include "saver/common/mirror_win.h"

#include "saver/common/monitors.h"
#include "saver/saver_state.h"

namespace {
COLORREF BackgroundColour()
{
    LOGBRUSH brush = {BS_SOLID, RGB(0, 0, 0), 0};
    if (g.BackgroundBrush && GetObjectW(g.BackgroundBrush, sizeof brush, &brush) != sizeof brush) return RGB(0, 0, 0);
    return brush.lbColor;
}

ScreenRect FitOf(uint32_t index)
{
    const ScreenRect& m = g.coverRects[index];
    return MirrorFit(g.clientRect.right, g.clientRect.bottom, m.right - m.left, m.bottom - m.top);
}

// The bands of a mirror that the picture leaves free, in the item's
// background.
void PaintMargins(uint32_t index, HDC dc)
{
    const ScreenRect& m = g.coverRects[index];
    const int32_t w = m.right - m.left, h = m.bottom - m.top;
    const ScreenRect fit = FitOf(index);
    HBRUSH brush = g.BackgroundBrush ? g.BackgroundBrush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bands[4] = {{0, 0, w, fit.top}, {0, fit.bottom, w, h}, {0, fit.top, fit.left, fit.bottom},
                           {fit.right, fit.top, w, fit.bottom}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top) FillRect(dc, &band, brush);
}

void StretchPart(uint32_t index, HDC dc, const ScreenRect& changed)
{
    ScreenRect dest, source;
    if (!MirrorDamage(changed, g.clientRect.right, g.clientRect.bottom, FitOf(index), &dest, &source)) return;
    const int w = dest.right - dest.left, h = dest.bottom - dest.top;
    if (w == source.right - source.left && h == source.bottom - source.top) {
        BitBlt(dc, dest.left, dest.top, w, h, g.frameSurface.dc, source.left, source.top, SRCCOPY);
        return;
    }
    // Averaging pixels would keep a shrunk text smoother, but costs several
    // times the show's own drawing on every tick of a transition.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, dest.left, dest.top, w, h, g.frameSurface.dc, source.left, source.top,
               source.right - source.left, source.bottom - source.top, SRCCOPY);
}
}

HDC FrameTarget(HDC screen, int width, int height)
{
    if (!g.mirroring || g.coverCount == 0 || !screen) return screen;
    MemorySurface& f = g.frameSurface;
    if (!f.dc) {
        f.dc = CreateCompatibleDC(screen);
        f.bitmap = CreateCompatibleBitmap(screen, width, height);
        if (!f.dc || !f.bitmap) {
            ReleaseMemorySurface(&f);
            return screen;   // the primary goes on; the mirrors keep what they show
        }
        f.oldBitmap = SelectObject(f.dc, f.bitmap);
        BitBlt(f.dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    }
    return f.dc;
}

void PresentFrame(HDC screen, HDC target, const int32_t bounds[4])
{
    if (target == screen || target != g.frameSurface.dc) return;
    const ScreenRect changed = {bounds[0], bounds[1], bounds[2], bounds[3]};
    BitBlt(screen, changed.left, changed.top, changed.right - changed.left, changed.bottom - changed.top, target,
           changed.left, changed.top, SRCCOPY);
    // A new item may come with a new background: the margins follow it.
    const COLORREF back = BackgroundColour();
    const bool margins = !g.marginsPainted || g.marginColour != back;
    for (uint32_t i = 0; i < g.coverCount; ++i) {
        HWND cover = g.coverWindows[i];
        if (!cover) continue;
        HDC dc = GetDC(cover);
        if (!dc) continue;
        if (margins) PaintMargins(i, dc);
        StretchPart(i, dc, changed);
        ReleaseDC(cover, dc);
    }
    g.marginColour = back;
    g.marginsPainted = 1;
}

void PaintMirror(uint32_t index, HDC dc)
{
    if (index >= g.coverCount) return;
    PaintMargins(index, dc);
    if (g.frameSurface.dc) StretchPart(index, dc, {0, 0, g.clientRect.right, g.clientRect.bottom});
    else {
        const ScreenRect fit = FitOf(index);
        RECT all = {fit.left, fit.top, fit.right, fit.bottom};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

void ReleaseFrame()
{
    ReleaseMemorySurface(&g.frameSurface);
    g.marginsPainted = 0;
}
