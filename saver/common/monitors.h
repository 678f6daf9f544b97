// Which monitors need a cover while the show runs on the primary one, and
// where the primary's picture shows on each when the covers mirror it.
#pragma once
#include <cstdint>

struct ScreenRect {
    int32_t left, top, right, bottom;
};

enum { kMaxCoverWindows = 16 };

// From the monitors the platform reports, the rectangles that get a black
// cover window: every monitor but the primary, each once, none empty and
// none that the primary already covers whole. Returns how many were written
// (at most kMaxCoverWindows; a desk with more keeps its first ones).
uint32_t CoverRects(const ScreenRect* monitors, uint32_t count, const ScreenRect& primary, ScreenRect* covers);

// Where a picture of srcWidth x srcHeight shows on a monitor of monWidth x
// monHeight: as large as fits keeping its proportions, centred, in the
// monitor's own coordinates. Empty when either size is.
ScreenRect MirrorFit(int32_t srcWidth, int32_t srcHeight, int32_t monWidth, int32_t monHeight);

// For a changed part of the picture, the mirror's rectangle that shows it
// (rounded outward) and the picture's rectangle that maps onto exactly that
// (dest and source, for one stretch). False when nothing is to be drawn.
bool MirrorDamage(const ScreenRect& changed, int32_t srcWidth, int32_t srcHeight, const ScreenRect& fit,
                  ScreenRect* dest, ScreenRect* source);
