#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"

uint16_t ReadWordsFile(HWND, const char*) { return 2; }
