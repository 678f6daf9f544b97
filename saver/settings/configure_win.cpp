// The configuration dialog: the words folder, the hold time, the number of
// videos at once and the opening switch. The page buttons open their pages
// once those exist; until then they do nothing.
#include "saver/settings/configure_win.h"
#include "saver/settings/pages_win.h"

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/store_win.h"
#include "saver/show/cycle_win.h"
#include "saver/show/errors_win.h"

#include <cstring>

namespace {
const int kAviPlayLimitMessage = 50;   // Em050

void ShowSettings(HWND dialog)
{
    SetDlgItemText932(dialog, IDC_FILEPATH, g.settings.FilePath);
    SetDlgItemInt(dialog, IDC_DISPLAY, g.settings.Display, FALSE);
    SetDlgItemInt(dialog, IDC_AVIPLAY, g.settings.AVIPlay, FALSE);
    CheckDlgButton(dialog, IDC_OPENING, g.settings.Opening != 0 ? BST_CHECKED : BST_UNCHECKED);
}

}

// Settings that could not be kept must not look kept: the user hears why
// and the dialog stays open, so Cancel is still a choice.
void ReportStoreFailure(HWND dialog, LONG code)
{
    wchar_t* system = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&system), 0, nullptr);
    char text[512];
    if (system == nullptr || NarrowTo932(system, -1, text, sizeof text) <= 0)
        // "設定をレジストリに保存できませんでした"
        std::strcpy(text, "\x90\xdd\x92\xe8\x82\xf0\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x82\xc9"
                          "\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd");
    if (system) LocalFree(system);
    MessageBox932(dialog, text, g.titleText, MB_ICONERROR);
}

namespace {

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
    g.settings.Display = GetDlgItemInt(dialog, IDC_DISPLAY, nullptr, FALSE);
    GetDlgItemText932(dialog, IDC_FILEPATH, g.settings.FilePath, sizeof g.settings.FilePath);
    g.settings.Opening = IsDlgButtonChecked(dialog, IDC_OPENING) == BST_CHECKED ? 1 : 0;
    LONG stored = StoreMainSettings();
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(dialog, stored);
        return FALSE;
    }
    return TRUE;
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
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (AcceptSettings(dialog)) EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
