#include "saver/saver_state.h"

#include <cstring>

#include "common/text932_win.h"

SaverState g;

void FreeGlobalBlock(HGLOBAL* block)
{
    if (*block) {
        while (GlobalFlags(*block) & GMEM_LOCKCOUNT) GlobalUnlock(*block);
        GlobalFree(*block);
    }
    *block = nullptr;
}

void ReleaseMemorySurface(MemorySurface* surface)
{
    // The surface goes before its bitmap: a bitmap still selected cannot be
    // deleted, and neither can a palette or font still in the surface.
    if (surface->dc) {
        if (surface->oldBitmap) SelectObject(surface->dc, surface->oldBitmap);
        if (surface->oldFont) SelectObject(surface->dc, surface->oldFont);
        DeleteDC(surface->dc);
    }
    if (surface->bitmap) DeleteObject(surface->bitmap);
    std::memset(surface, 0, sizeof *surface);
}

namespace {
bool Fits(const MemorySurface& s, HDC screen, int width, int height)
{
    BITMAP info;
    if (!s.dc || !s.bitmap || !s.oldBitmap || GetObjectW(s.bitmap, sizeof info, &info) != sizeof info) return false;
    // A display change may leave the same size at another depth.
    return info.bmWidth == width && info.bmHeight == height &&
           info.bmBitsPixel * info.bmPlanes == GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
}
}

void TakeSourceSurface(HDC screen, int width, int height)
{
    ReleaseMemorySurface(&g.SourceSurface);
    if (Fits(g.spareSurface, screen, width, height)) {
        g.SourceSurface = g.spareSurface;
        std::memset(&g.spareSurface, 0, sizeof g.spareSurface);
        return;
    }
    ReleaseMemorySurface(&g.spareSurface);
    MemorySurface& s = g.SourceSurface;
    s.dc = CreateCompatibleDC(screen);
    s.bitmap = CreateCompatibleBitmap(screen, width, height);
    if (s.dc && s.bitmap) s.oldBitmap = SelectObject(s.dc, s.bitmap);
}

void ParkSourceSurface()
{
    MemorySurface& s = g.SourceSurface;
    if (!s.dc || !s.bitmap || !s.oldBitmap) {
        ReleaseMemorySurface(&s);
        return;
    }
    // What an item selected into it goes back before it is kept.
    SelectPalette(s.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    if (s.oldFont) SelectObject(s.dc, s.oldFont);
    s.oldFont = nullptr;
    ReleaseMemorySurface(&g.spareSurface);
    g.spareSurface = s;
    std::memset(&s, 0, sizeof s);
}

void ResetSaverState()
{
    std::memset(&g, 0, sizeof g);
    g.wakeThreshold = 4;
    g.lastPasswordCheck = 0xFFFFFFFFu;
}

void LoadStartupStrings()
{
    LoadString932(g.instance, 1010, g.titleText, sizeof g.titleText);
    LoadString932(g.instance, 1011, g.creditText, sizeof g.creditText);
}
