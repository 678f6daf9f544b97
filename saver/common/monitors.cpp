#include "saver/common/monitors.h"

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

namespace {
int32_t FloorDiv(int64_t a, int64_t b) { return static_cast<int32_t>(a >= 0 ? a / b : -((-a + b - 1) / b)); }
int32_t CeilDiv(int64_t a, int64_t b) { return static_cast<int32_t>(a >= 0 ? (a + b - 1) / b : -(-a / b)); }
int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }
}

ScreenRect MirrorFit(int32_t srcWidth, int32_t srcHeight, int32_t monWidth, int32_t monHeight)
{
    if (srcWidth <= 0 || srcHeight <= 0 || monWidth <= 0 || monHeight <= 0) return {0, 0, 0, 0};
    int64_t w, h;
    if (int64_t(monWidth) * srcHeight <= int64_t(monHeight) * srcWidth) {
        w = monWidth;   // the width decides
        h = (int64_t(monWidth) * srcHeight * 2 + srcWidth) / (int64_t(srcWidth) * 2);
    } else {
        h = monHeight;
        w = (int64_t(monHeight) * srcWidth * 2 + srcHeight) / (int64_t(srcHeight) * 2);
    }
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    int32_t left = static_cast<int32_t>((monWidth - w) / 2);
    int32_t top = static_cast<int32_t>((monHeight - h) / 2);
    return {left, top, left + static_cast<int32_t>(w), top + static_cast<int32_t>(h)};
}

bool MirrorDamage(const ScreenRect& changed, int32_t srcWidth, int32_t srcHeight, const ScreenRect& fit,
                  ScreenRect* dest, ScreenRect* source)
{
    const int64_t fw = fit.right - fit.left, fh = fit.bottom - fit.top;
    if (srcWidth <= 0 || srcHeight <= 0 || fw <= 0 || fh <= 0) return false;
    ScreenRect c = {Clamp(changed.left, 0, srcWidth), Clamp(changed.top, 0, srcHeight),
                    Clamp(changed.right, 0, srcWidth), Clamp(changed.bottom, 0, srcHeight)};
    if (IsEmpty(c)) return false;
    // Outward on the mirror, then back: the source then covers the change
    // and the stretch between the two is the whole picture's scale.
    int32_t dl = FloorDiv(c.left * fw, srcWidth), dr = CeilDiv(c.right * fw, srcWidth);
    int32_t dt = FloorDiv(c.top * fh, srcHeight), db = CeilDiv(c.bottom * fh, srcHeight);
    *dest = {fit.left + dl, fit.top + dt, fit.left + dr, fit.top + db};
    *source = {FloorDiv(dl * int64_t(srcWidth), fw), FloorDiv(dt * int64_t(srcHeight), fh),
               Clamp(CeilDiv(dr * int64_t(srcWidth), fw), 0, srcWidth),
               Clamp(CeilDiv(db * int64_t(srcHeight), fh), 0, srcHeight)};
    return !IsEmpty(*dest) && !IsEmpty(*source);
}
