#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"

void OpeningStep(HWND)
{
    g.openingState = 100;
    g.itemBusy = 0;
}
