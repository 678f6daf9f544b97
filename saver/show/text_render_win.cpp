#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"

// Placeholder until sayings are laid out: the item ends at once.
void RenderTextItem(HWND, uint16_t) { g.itemBusy = 0; }
