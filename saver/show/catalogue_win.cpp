#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"

void BuildCatalogue(HWND) { g.fileCount = 0; }
void NextCatalogueItem(HWND) {}
void FreeCatalogue() {}
