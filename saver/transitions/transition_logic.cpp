#include "saver/transitions/transition_logic.h"

const char kTransitionNames[kTransitionKinds][kTransitionNameSize] = {
    "00 \x96\x8B\x8A\x4A\x82\xAB",
};
