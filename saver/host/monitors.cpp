#include "saver/host/monitors.h"

namespace {
bool IsEmpty(const ScreenRect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Same(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}

uint32_t CoverRects(const ScreenRect* monitors, uint32_t count, const ScreenRect& primary, ScreenRect* covers)
{
    uint32_t made = 0;
    for (uint32_t i = 0; i < count && made < kMaxCoverWindows; ++i) {
        const ScreenRect& m = monitors[i];
        // A mirrored monitor shows the primary's picture already.
        if (IsEmpty(m) || Contains(primary, m)) continue;
        bool seen = false;
        for (uint32_t j = 0; j < made && !seen; ++j) seen = Same(covers[j], m);
        if (!seen) covers[made++] = m;
    }
    return made;
}
