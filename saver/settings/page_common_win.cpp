// What the configuration pages share: their list buttons and the boxes
// that tell the user a list was not kept.
#include "saver/settings/pages_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/store_win.h"

#include <cstring>

void ReportStoreFailure(HWND owner, LONG code)
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
    MessageBox932(owner, text, g.titleText, MB_ICONERROR);
}

void ReportListTooLong(HWND owner)
{
    // "この一覧は長すぎて保存できません。項目を減らしてください"
    MessageBox932(owner,
                  "\x82\xb1\x82\xcc\x88\xea\x97\x97\x82\xcd\x92\xb7\x82\xb7\x82\xac\x82\xc4\x95\xdb\x91\xb6\x82\xc5"
                  "\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42\x8d\x80\x96\xda\x82\xf0\x8c\xb8\x82\xe7\x82\xb5\x82\xc4"
                  "\x82\xad\x82\xbe\x82\xb3\x82\xa2",
                  g.titleText, MB_ICONEXCLAMATION);
}

bool ListItemText932(HWND list, int index, char* out, int outSize)
{
    if (outSize > 0) out[0] = '\0';
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    wchar_t wide[256];
    if (length == LB_ERR || length < 0 || length >= static_cast<LRESULT>(sizeof wide / sizeof wide[0])) return false;
    if (SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide)) == LB_ERR)
        return false;
    return NarrowTo932(wide, -1, out, outSize) >= 0;
}

void AddSelectedCandidate(HWND page, int candidatesId, int chosenId)
{
    HWND candidates = GetDlgItem(page, candidatesId);
    HWND chosen = GetDlgItem(page, chosenId);
    LRESULT selected = SendMessageW(candidates, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    LRESULT length = SendMessageW(candidates, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
    wchar_t text[256];
    if (length == LB_ERR || length < 0 || length >= static_cast<LRESULT>(sizeof text / sizeof text[0])) return;
    SendMessageW(candidates, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    // -1: search from the first item.
    if (SendMessageW(chosen, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)) != LB_ERR)
        return;
    SendMessageW(chosen, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void RemoveSelectedChosen(HWND page, int chosenId)
{
    HWND chosen = GetDlgItem(page, chosenId);
    LRESULT selected = SendMessageW(chosen, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) SendMessageW(chosen, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

bool DisableManaged(HWND page, const ManagedControls* values, size_t count)
{
    bool any = false;
    for (size_t i = 0; i < count; ++i) {
        if (!SettingManaged(values[i].value)) continue;
        any = true;
        for (int id : values[i].controls)
            if (id != 0) EnableWindow(GetDlgItem(page, id), FALSE);
    }
    return any;
}

INT_PTR CALLBACK VersionBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    // Esc and the close box arrive as IDCANCEL and are left unanswered.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(box, 1);
        return TRUE;
    }
    return FALSE;
}
