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
