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
