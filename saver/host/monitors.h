// Which monitors need a cover while the show runs on the primary one.
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
