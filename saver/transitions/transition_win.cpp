// Executes the drawing steps of one engine tick with GDI.
#include "saver/transitions/transition_win.h"

#include "saver/common/mirror_win.h"
#include "saver/saver_state.h"
#include "saver/transitions/transition_logic.h"

namespace {
// One tick's steps; static so that a tick allocates nothing.
TransitionDraws draws;

void ReleaseDark()
{
    ReleaseMemorySurface(&g.darkSurface);
    DeleteGdiObject(g.darkBrush);
}

void CreateDarkSurface(HDC screen, int width, int height)
{
    ReleaseDark();
    MemorySurface& dark = g.darkSurface;
    dark.dc = CreateCompatibleDC(screen);
    dark.bitmap = CreateCompatibleBitmap(screen, width, height);
    if (dark.dc && dark.bitmap) dark.oldBitmap = SelectObject(dark.dc, dark.bitmap);
}

void DrawDark(HDC screen, HDC source, const TransitionDraw& d)
{
    MemorySurface& dark = g.darkSurface;
    if (!dark.dc || !dark.oldBitmap) return;   // scratch surface not had: frame left undrawn
    g.darkBrush = CreateSolidBrush(RGB(d.red, d.green, d.blue));
    RECT all = {d.x, d.y, d.cx, d.cy};
    if (g.darkBrush) {
        FillRect(dark.dc, &all, g.darkBrush);
        DeleteObject(g.darkBrush);
        g.darkBrush = nullptr;
    }
    BitBlt(dark.dc, 0, 0, d.srcCx, d.srcCy, source, 0, 0, SRCAND);
    BitBlt(screen, 0, 0, d.srcCx, d.srcCy, dark.dc, 0, 0, SRCCOPY);
}

void Execute(HDC screen, HDC source, const TransitionDraw& d)
{
    switch (d.op) {
    case DrawFill: {
        // An empty or inverted rectangle draws nothing.
        if (d.cx <= d.x || d.cy <= d.y) return;
        RECT rect = {d.x, d.y, d.cx, d.cy};
        FillRect(screen, &rect, g.BackgroundBrush);
        return;
    }
    case DrawCopy:
        if (d.cx <= 0 || d.cy <= 0) return;
        BitBlt(screen, d.x, d.y, d.cx, d.cy, source, d.srcX, d.srcY, SRCCOPY);
        return;
    case DrawStretch:
        if (d.cx <= 0 || d.cy <= 0) return;
        StretchBlt(screen, d.x, d.y, d.cx, d.cy, source, d.srcX, d.srcY, d.srcCx, d.srcCy, SRCCOPY);
        return;
    case DrawDarkCreate:
        CreateDarkSurface(screen, d.cx, d.cy);
        return;
    case DrawDarkFrame:
        DrawDark(screen, source, d);
        return;
    case DrawDarkRelease:
        ReleaseDark();
        return;
    default:
        return;
    }
}
}  // namespace

int StepTransition(HDC screen, HDC source)
{
    TransitionInputs in;
    in.width = g.clientRect.right;
    in.height = g.clientRect.bottom;
    in.display = g.settings.Display;
    in.fadeInOut = g.settings.FadeInOut;
    in.enabled = g.settings.EnabledTransitions;
    in.fadeCount = g.settings.FadeCount;
    int finished = AdvanceTransition(&g.transition, in, &draws);
    HDC target = FrameTarget(screen, in.width, in.height);
    for (uint32_t i = 0; i < draws.count; ++i) Execute(target, source, draws.items[i]);
    int32_t bounds[4];
    if (target != screen && DrawnBounds(draws, in.width, in.height, bounds)) PresentFrame(screen, target, bounds);
    return finished;
}

// At window destruction: the item in progress goes with the window, so a
// later window starts its first item with a set-up.
void ReleaseDarkSurface()
{
    ReleaseDark();
    g.transition.frameIndex = 0;
}
