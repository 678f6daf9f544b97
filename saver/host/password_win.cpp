// The Windows 95 password seam. Password protection lives on that platform
// family only; until it is built here every close is accepted.
#include "saver/host/host_win.h"
#include "saver/saver_state.h"

void LoadPasswordVerifier() {}
void UnloadPasswordVerifier() {}
void SetSaverRunning(UINT) {}

BOOL ConfirmClose(HWND)
{
    g.closing = 1;
    return TRUE;
}

int ChangeSaverPassword(const char*) { return 0; }
