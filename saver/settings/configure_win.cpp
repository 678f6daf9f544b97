// The configuration dialog: the words folder, the hold time, the number of
// videos at once and the opening switch, and the buttons that open the
// pages, each of which stores its own group.
#include "saver/settings/configure_win.h"

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/folder_picker_win.h"
#include "saver/settings/pages_win.h"
#include "saver/settings/store_win.h"
#include "saver/common/errors_win.h"

#include <cstring>

namespace {
const int kAviPlayLimitMessage = 50;   // Em050
const int kFolderTooLongMessage = 53;  // Em053

// The OK button, to which the keyboard returns after most pages.
HWND okButton;
// The folder as the box showed it on opening: a stored folder that names
// each user's own ("%USERPROFILE%\Pictures", expanded for the box) stays
// as stored unless the user changes it.
wchar_t shownFolder[kFilePathChars];

struct PageButton {
    int button;
    int resource;
    DLGPROC procedure;
    bool focusToOk;
};
const PageButton kPages[] = {
    {IDC_FADE_PAGE, IDD_FADE_PAGE, FadePageProc, true},
    {IDC_COLOR_PAGE, IDD_TEXTCOLOR_PAGE, TextColorPageProc, true},
    {IDC_FONT_PAGE, IDD_FONT_PAGE, FontPageProc, true},
    {IDC_LIMITS_PAGE, IDD_LIMITS_PAGE, LimitsPageProc, true},
    {IDC_BACK_PAGE, IDD_BACKCOLOR_PAGE, BackColorPageProc, true},
    {IDC_VERSION, IDD_VERSION, VersionBoxProc, false},
    {IDC_TEXTGEN_PAGE, IDD_TEXTGEN_PAGE, TextGenPageProc, false},
};

void OpenPage(HWND dialog, const PageButton& page)
{
    DialogBoxParamW(g.instance, MAKEINTRESOURCEW(page.resource), dialog, page.procedure, 0);
    if (page.focusToOk) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(okButton), TRUE);
}

const ManagedControls kMainControls[] = {
    {"FilePath", {IDC_FILEPATH, IDC_BROWSE}},
    {"Display", {IDC_DISPLAY}},
    {"AVIPlay", {IDC_AVIPLAY}},
    {"Opening", {IDC_OPENING}},
    {"AllMonitors", {IDC_ALLMONITORS}},
};

// The note that an administrator manages some settings, said once here for
// the pages too; where nothing is managed the dialog is as it always was,
// without the note's band.
void ShowWhatIsManaged(HWND dialog)
{
    DisableManaged(dialog, kMainControls);
    if (AnySettingManaged()) return;
    HWND note = GetDlgItem(dialog, IDC_MANAGED_NOTE);
    ShowWindow(note, SW_HIDE);
    RECT band = {0, 0, 0, 166 - 153};   // the template is 166 units high, 153 without the note
    MapDialogRect(dialog, &band);
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - band.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowSettings(HWND dialog)
{
    SetDlgItemTextW(dialog, IDC_FILEPATH, g.settings.FilePath);
    lstrcpynW(shownFolder, g.settings.FilePath, kFilePathChars);
    SetDlgItemInt(dialog, IDC_DISPLAY, g.settings.Display, FALSE);
    SetDlgItemInt(dialog, IDC_AVIPLAY, g.settings.AVIPlay, FALSE);
    CheckDlgButton(dialog, IDC_OPENING, g.settings.Opening != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ALLMONITORS, g.settings.AllMonitors != 0 ? BST_CHECKED : BST_UNCHECKED);
}

BOOL AcceptSettings(HWND dialog)
{
    // The number of videos is checked first and alone: a refused OK reads
    // and stores nothing else.
    g.settings.AVIPlay = GetDlgItemInt(dialog, IDC_AVIPLAY, nullptr, FALSE);
    int32_t videos = static_cast<int32_t>(g.settings.AVIPlay);
    if (videos <= 0 || videos > 4) {
        ReportError(dialog, kAviPlayLimitMessage, ShowMessageBox);
        return FALSE;
    }
    // The folder is stored as typed or not at all: a cut path would name
    // another folder. The box itself takes any length, so a pasted path is
    // never cut on the way in either.
    HWND box = GetDlgItem(dialog, IDC_FILEPATH);
    if (GetWindowTextLengthW(box) >= kFilePathChars) {
        ReportError(dialog, kFolderTooLongMessage, ShowMessageBox);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
        return FALSE;
    }
    g.settings.Display = GetDlgItemInt(dialog, IDC_DISPLAY, nullptr, FALSE);
    GetWindowTextW(box, g.settings.FilePath, kFilePathChars);
    g.settings.Opening = IsDlgButtonChecked(dialog, IDC_OPENING) == BST_CHECKED ? 1 : 0;
    g.settings.AllMonitors = IsDlgButtonChecked(dialog, IDC_ALLMONITORS) == BST_CHECKED ? 1 : 0;
    LONG stored = StoreMainSettings(lstrcmpW(g.settings.FilePath, shownFolder) != 0);
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(dialog, stored);
        return FALSE;
    }
    lstrcpynW(shownFolder, g.settings.FilePath, kFilePathChars);
    return TRUE;
}

// Starts where the box points now (typed but not yet stored), and fills the
// box only with a folder the user picked.
void BrowseForFolder(HWND dialog)
{
    HWND box = GetDlgItem(dialog, IDC_FILEPATH);
    wchar_t start[kFilePathChars] = L"";
    if (GetWindowTextLengthW(box) < kFilePathChars) GetWindowTextW(box, start, kFilePathChars);
    wchar_t chosen[MAX_PATH * 2];
    if (!PickFolder(dialog, start, chosen, sizeof chosen / sizeof chosen[0])) return;
    SetWindowTextW(box, chosen);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
}
}

extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                          WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        LoadStartupStrings();
        GetIniSettings();
        ShowSettings(dialog);
        ShowWhatIsManaged(dialog);
        okButton = GetDlgItem(dialog, IDOK);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (AcceptSettings(dialog)) EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_BROWSE:
            BrowseForFolder(dialog);
            return TRUE;
        default:
            for (const PageButton& page : kPages)
                if (page.button == LOWORD(wParam)) OpenPage(dialog, page);
            return FALSE;
        }
    default:
        return FALSE;
    }
}
