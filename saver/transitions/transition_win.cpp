#include "saver/saver_state.h"
#include "saver/transitions/transition_win.h"

int StepTransition(HDC, HDC) { return 1; }
void ReleaseDarkSurface() {}
