// The opening's timeline as plain arithmetic over its tick counters: which
// frame a tick shows, how much of each line is typed, when everything is
// erased and when the system information list is due. The Win32 glue only
// carries out what these functions decide.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kOpeningFrameCount = 13,
    kOpeningTypeStep = 2,      // bytes typed per tick: one full-width character
};

// D, the hold, is taken through EffectiveDisplay (the transition engine's
// bound), so that a huge registry value cannot wrap the tick counters and
// the opening counts its D exactly as the items do.

// Animation sub-step of one tick. frame is the index (0 for K1 .. 12 for
// K13) to select and copy, or -1 on the erasing tick.
struct AnimationTick {
    bool load;     // first tick: load the frames, make the memory surface
    int frame;
    bool erase;    // last tick: clear the frame's rectangle and free all
};
// Decides the tick for *frameTicks and advances it (back to 0 after the
// erasing tick).
AnimationTick AdvanceAnimation(uint32_t* frameTicks, uint32_t display);

// Title sub-step: the two lines typed out.
struct TitleCounters {
    uint32_t titleTicks;
    uint16_t titleShown;
    uint16_t creditShown;
};
struct TitleTick {
    bool createFonts;
    bool drawTitle;    // draw the first titleShown bytes (after this tick)
    bool drawCredit;
    bool erase;        // last tick: clear both lines' rectangles, free fonts
};
TitleTick AdvanceTitle(TitleCounters* counters, uint32_t display, size_t titleLength,
                       size_t creditLength);

// Bytes shown after one more typing step: two more, never past the end.
uint16_t TypedBytes(uint16_t shown, size_t length);

// The opening's own step: whether the list's step runs this tick and
// whether the opening ends with it.
struct OpeningTick {
    bool systemInfo;
    bool ends;
};
OpeningTick AdvanceOpening(uint32_t* openingTicks, uint32_t display, uint32_t itemBusy);

// Layout. W and H are the client size, bw and bh K1's size, cx a line's
// measured width. Halves and quarters truncate toward zero.
struct Point32 {
    int32_t x, y;
};
Point32 FramePosition(int32_t w, int32_t h, int32_t bw, int32_t bh);
int32_t LineLeft(int32_t w, int32_t cx);
int32_t TitleTop(int32_t h);
int32_t CreditTop(int32_t h);

// Character cell of each line's font: the title fills 0.7 of the width in
// bold cells twice as high as wide; the credit is laid out from 0.5 and 0.4
// of the width. An empty text gives 0 x 0 (the platform's default size;
// nothing of it is drawn anyway).
struct CellSize {
    int32_t width, height;
};
CellSize TitleCellSize(int32_t w, size_t titleLength);
CellSize CreditCellSize(int32_t w, size_t creditLength);
