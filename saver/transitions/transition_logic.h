// Transitions: the engine that clears, reveals, holds and hides each
// picture, and its fifteen effects.
//
// Transition geometry: the engine's timeline and the fifteen effects as
// plain arithmetic that emits drawing steps. The Win32 glue executes them.
#pragma once
#include <cstdint>

enum { kTransitionKinds = 15, kTransitionNameSize = 20 };

// Display names, Shift-JIS, in fifteen 20-byte slots.
extern const char kTransitionNames[kTransitionKinds][kTransitionNameSize];

struct TransitionState {
    int32_t frameIndex;
    uint16_t kind;
    uint16_t x, y, cx, cy;
    double stripeW, stripeH;
    double growW, growH;
    double bandLeft, bandRight;
    double bandTop, bandBottom;
    int32_t darkR, darkG, darkB;
};

enum {
    // Ticks of a reveal and of a hide, and where the stages fall.
    kRevealFrames = 29,
    kCompletionFrame = 30,
    kHideFrames = 30,
    // The stripe walks visit at most 40 positions in either direction
    // (a pitch of 1 on an area of 39); the cap also stops a walk whose
    // 16-bit position would wrap.
    kMaxStripeWalk = 40,
    kMaxTransitionDraws = kMaxStripeWalk * kMaxStripeWalk + 8,
    kEnabledTransitionSlots = 16,
};

// A larger Display is taken as this one, so that D + 61 still fits the
// signed 32-bit tick counter (about seven years of 100 ms ticks).
const uint32_t kMaxTransitionDisplay = 0x7FFFFFFFu - 62;

// What the engine reads and does not own.
struct TransitionInputs {
    int32_t width;             // W: right of the client rectangle
    int32_t height;            // H: bottom of the client rectangle
    uint32_t display;          // D: ticks the whole picture stands
    uint32_t fadeInOut;        // nonzero: the hide uses the reveal's kind
    const uint16_t* enabled;   // EnabledTransitions, kEnabledTransitionSlots entries
    uint16_t fadeCount;
};

enum TransitionDrawOp : uint8_t {
    DrawFill,         // FillRect(screen, left/top/right/bottom, BackgroundBrush)
    DrawCopy,         // BitBlt(screen, x, y, cx, cy, source, srcX, srcY, SRCCOPY)
    DrawStretch,      // StretchBlt(screen, x, y, cx, cy, source, srcX, srcY, srcCx, srcCy)
    DrawDarkCreate,   // scratch surface of cx x cy compatible with the screen
    DrawDarkFrame,    // grey fill of the scratch (cx x cy = W x H), source AND it
                      // over srcCx x srcCy, then copy that part to the screen
    DrawDarkRelease,  // scratch surface released if held
};

struct TransitionDraw {
    uint8_t op;
    int32_t x, y, cx, cy;            // fills: left, top, right, bottom
    int32_t srcX, srcY, srcCx, srcCy;
    uint8_t red, green, blue;        // grey of a dark frame
};

// Filled anew by every step; fixed storage, nothing allocated per tick.
struct TransitionDraws {
    uint32_t count;
    TransitionDraw items[kMaxTransitionDraws];
};

// One call of the engine: advances state by one tick and lists what the
// tick draws, in order. Returns 1 on the call that finishes the item.
int AdvanceTransition(TransitionState* state, const TransitionInputs& in, TransitionDraws* out);

// D as the engine uses it (bounded by kMaxTransitionDisplay).
uint32_t EffectiveDisplay(uint32_t display);

// The part of a W x H screen that the steps draw on (left, top, right,
// bottom); false when they draw on none of it.
bool DrawnBounds(const TransitionDraws& draws, int32_t width, int32_t height, int32_t bounds[4]);
