// The limits page: which serial ports the saver checks before it starts,
// and whether a busy one keeps it from running.
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/pages_win.h"
#include "saver/settings/store_win.h"

namespace {
// In port order, so a box and its flag share an index.
const int kPortBoxes[4] = {IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4};
const ManagedControls kLimitControls[] = {
    {"COM1", {IDC_COM1}}, {"COM2", {IDC_COM2}}, {"COM3", {IDC_COM3}}, {"COM4", {IDC_COM4}},
    {"UsedCOMNoRun", {IDC_USEDCOMNORUN}},
};

void SetBox(HWND page, int id, uint32_t flag)
{
    SendDlgItemMessageW(page, id, BM_SETCHECK, flag != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

uint32_t BoxFlag(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0; }

BOOL StoreLimits(HWND page)
{
    for (int i = 0; i < 4; ++i) g.settings.COM[i] = BoxFlag(page, kPortBoxes[i]);
    g.settings.UsedCOMNoRun = BoxFlag(page, IDC_USEDCOMNORUN);
    LONG stored = StoreLimitSettings();
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(page, stored);
        return FALSE;
    }
    return TRUE;
}
}

INT_PTR CALLBACK LimitsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        GetIniSettings5(page);
        for (int i = 0; i < 4; ++i) SetBox(page, kPortBoxes[i], g.settings.COM[i]);
        SetBox(page, IDC_USEDCOMNORUN, g.settings.UsedCOMNoRun);
        DisableManaged(page, kLimitControls);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (StoreLimits(page)) EndDialog(page, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(page, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
