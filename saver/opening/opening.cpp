#include "saver/opening/opening.h"

#include "saver/transitions/transition_logic.h"

namespace {
// The three counters all run 0 .. D + 61; the last value is the one where
// everything is taken down.
bool IsLastTick(uint32_t ticks, uint32_t display)
{
    return ticks > EffectiveDisplay(display) + 60;
}

uint32_t NextTick(uint32_t ticks, uint32_t display)
{
    return IsLastTick(ticks, display) ? 0 : ticks + 1;
}

// trunc(fraction x W) divided into length cells, in unsigned arithmetic.
int32_t Cell(int32_t w, double fraction, size_t length)
{
    if (w <= 0 || length == 0) return 0;
    uint32_t span = static_cast<uint32_t>(fraction * w);
    return static_cast<int32_t>(span / length);
}
}

AnimationTick AdvanceAnimation(uint32_t* frameTicks, uint32_t display)
{
    AnimationTick tick = {};
    uint32_t t = *frameTicks;
    tick.load = t == 0;
    if (IsLastTick(t, display)) {
        tick.erase = true;
        tick.frame = -1;
    } else {
        // K1 .. K13 over the first thirteen ticks, then K13 stands.
        tick.frame = t < kOpeningFrameCount ? static_cast<int>(t) : kOpeningFrameCount - 1;
    }
    *frameTicks = NextTick(t, display);
    return tick;
}

uint16_t TypedBytes(uint16_t shown, size_t length)
{
    size_t next = static_cast<size_t>(shown) + kOpeningTypeStep;
    if (next > length) next = length;
    return static_cast<uint16_t>(next);
}

TitleTick AdvanceTitle(TitleCounters* c, uint32_t display, size_t titleLength, size_t creditLength)
{
    TitleTick tick = {};
    uint32_t t = c->titleTicks;
    if (t == 0) {
        tick.createFonts = true;
        c->titleShown = 0;
        c->creditShown = 0;
    }
    if (IsLastTick(t, display)) {
        tick.erase = true;
    } else {
        // A complete line is left alone: it is not drawn again.
        if (titleLength > c->titleShown) {
            c->titleShown = TypedBytes(c->titleShown, titleLength);
            tick.drawTitle = true;
        }
        if (creditLength > c->creditShown) {
            c->creditShown = TypedBytes(c->creditShown, creditLength);
            tick.drawCredit = true;
        }
    }
    c->titleTicks = NextTick(t, display);
    return tick;
}

OpeningTick AdvanceOpening(uint32_t* openingTicks, uint32_t display, uint32_t itemBusy)
{
    OpeningTick tick = {};
    uint32_t t = *openingTicks;
    tick.systemInfo = t >= EffectiveDisplay(display) && itemBusy == 0;
    tick.ends = IsLastTick(t, display);
    *openingTicks = NextTick(t, display);
    return tick;
}

Point32 FramePosition(int32_t w, int32_t h, int32_t bw, int32_t bh)
{
    Point32 p = {w / 2 - bw / 2, h / 2 - bh / 2};
    return p;
}

int32_t LineLeft(int32_t w, int32_t cx) { return w / 2 - cx / 2; }
int32_t TitleTop(int32_t h) { return h / 4; }
int32_t CreditTop(int32_t h) { return (h / 4) * 3; }

CellSize TitleCellSize(int32_t w, size_t titleLength)
{
    int32_t width = Cell(w, 0.7, titleLength);
    CellSize s = {width, 2 * width};
    return s;
}

CellSize CreditCellSize(int32_t w, size_t creditLength)
{
    CellSize s = {Cell(w, 0.5, creditLength), 2 * Cell(w, 0.4, creditLength)};
    return s;
}
