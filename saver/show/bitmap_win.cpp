#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"

void ShowBitmapTick(HWND) { g.itemBusy = 0; }
