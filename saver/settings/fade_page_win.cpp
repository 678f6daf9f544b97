// The fade page: which transitions the show picks from, and whether an
// item leaves by the transition it came in with.
#include "saver/settings/pages_win.h"

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/settings_lists.h"
#include "saver/settings/store_win.h"
#include "saver/transitions/transition_logic.h"

#include <cstring>

namespace {
const ManagedControls kFadeControls[] = {
    {"Fade", {IDC_CANDIDATES, IDC_CHOSEN_FADES, IDC_ADD, IDC_REMOVE}},
    {"FadeInOut", {IDC_FADEINOUT}},
};

void OpenFadePage(HWND page)
{
    HWND candidates = GetDlgItem(page, IDC_CANDIDATES);
    HWND chosen = GetDlgItem(page, IDC_CHOSEN_FADES);
    SendMessageW(candidates, LB_RESETCONTENT, 0, 0);
    for (int kind = 0; kind < kTransitionKinds; ++kind) ListBoxAdd932(candidates, kTransitionNames[kind]);
    GetIniSettings2(page);
    // A code stored twice is listed twice: the list shows what is stored.
    for (int i = 0; i < g.settings.FadeCount && i < kMaxFadeEntries; ++i) {
        const char* code = g.settings.FadeCodes + 2 * i;
        for (int kind = 0; kind < kTransitionKinds; ++kind) {
            if (std::memcmp(kTransitionNames[kind], code, 2) == 0) {
                ListBoxAdd932(chosen, kTransitionNames[kind]);
                break;
            }
        }
    }
    CheckDlgButton(page, IDC_FADEINOUT, g.settings.FadeInOut != 0 ? BST_CHECKED : BST_UNCHECKED);
    DisableManaged(page, kFadeControls);
}

// False when the page must stay open.
bool StoreFadePage(HWND page)
{
    HWND chosen = GetDlgItem(page, IDC_CHOSEN_FADES);
    LRESULT count = SendMessageW(chosen, LB_GETCOUNT, 0, 0);
    if (count < 0) count = 0;
    // Only a list stored twice over by another tool can pass FadeCodes.
    if (count > kMaxFadeEntries) {
        ReportListTooLong(page);
        return false;
    }
    char codes[kFadeCodesSize] = {};
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        char name[64];
        if (!ListItemText932(chosen, i, name, sizeof name) || std::strlen(name) < 2) continue;
        std::memcpy(codes + 2 * kept, name, 2);
        ++kept;
    }
    std::memcpy(g.settings.FadeCodes, codes, sizeof codes);
    g.settings.FadeCount = static_cast<uint16_t>(kept);
    g.settings.FadeInOut = IsDlgButtonChecked(page, IDC_FADEINOUT) == BST_CHECKED ? 1 : 0;
    LONG stored = StoreFadeSettings();
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(page, stored);
        return false;
    }
    GetIniSettings2(page);
    return true;
}
}

INT_PTR CALLBACK FadePageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OpenFadePage(page);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_ADD:
        AddSelectedCandidate(page, IDC_CANDIDATES, IDC_CHOSEN_FADES);
        return FALSE;
    case IDC_REMOVE:
        RemoveSelectedChosen(page, IDC_CHOSEN_FADES);
        return FALSE;
    case IDOK:
        if (StoreFadePage(page)) EndDialog(page, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(page, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
