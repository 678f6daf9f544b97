// The show on every monitor: while the covers of other monitors mirror the
// show, a frame is drawn once into g.frameSurface and what changed in it
// goes to the primary window and, scaled to fit, to every mirror. Without
// mirrors the frame is the window itself.
#pragma once
#include <windows.h>
#include <cstdint>

// Where this tick draws: the frame while mirroring (made on first use from
// what the screen shows), else screen itself.
HDC FrameTarget(HDC screen, int width, int height);
// The changed part (left, top, right, bottom) from the frame to the screen
// and every mirror; nothing when target was screen itself.
void PresentFrame(HDC screen, HDC target, const int32_t bounds[4]);
// The whole mirror of cover index, into its window surface dc.
void PaintMirror(uint32_t index, HDC dc);
void ReleaseFrame();
