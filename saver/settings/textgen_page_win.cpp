// The TextGenDLL page: lists the plug-ins of the words folder and opens the
// settings dialog of the one double-clicked (or chosen and "設定"). The
// plug-in keeps its own settings; the page stores nothing. Where a policy
// refuses plug-ins the files are still listed, but none is run.
#include "common/text932_win.h"
#include "saver/common/plugin_host_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/pages_win.h"
#include "saver/settings/store_win.h"
#include "saver/common/errors_win.h"

#include <cstring>
#include <cwchar>

namespace {
const int kNotLoadedMessage = 40;    // Em040
const int kNoSettingsMessage = 44;   // Em044

// Room for the longest folder the settings hold, the backslash and the
// longest name a volume gives, so every listed plug-in can be reached.
enum { kPluginNameChars = MAX_PATH, kPluginPathChars = kFilePathChars + 1 + kPluginNameChars };

// False when the joined path would not fit: never cut, since a cut path
// could name another library. No folder chosen yet (a new machine) is no
// folder at all: joined, it would name the root of the current drive.
bool JoinPluginPath(const wchar_t* folder, const wchar_t* name, wchar_t* path, size_t size)
{
    size_t folderLength = wcsnlen(folder, kFilePathChars);
    size_t nameLength = std::wcslen(name);
    if (folderLength == 0 || folderLength >= kFilePathChars || folderLength + 1 + nameLength + 1 > size)
        return false;
    std::memcpy(path, folder, folderLength * sizeof(wchar_t));
    path[folderLength] = L'\\';
    std::memcpy(path + folderLength + 1, name, (nameLength + 1) * sizeof(wchar_t));
    return true;
}

// The folder as the main dialog loaded it, not what its edit holds now.
// Names are listed as the file system gives them, so each loads by its own
// name whatever its characters and whether or not the volume has aliases.
void ListPlugins(HWND page)
{
    HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    wchar_t pattern[kFilePathChars + 8];
    if (!JoinPluginPath(g.settings.FilePath, L"*.DLL", pattern, sizeof pattern / sizeof pattern[0])) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Waits for the host's answer with the page's messages still flowing, so
// that the page repaints and the plug-in's dialog over it works. In its
// dialog the plug-in has time as long as a window of its own answers.
HostPoll AwaitAnswer(PluginHostLink* link, bool inDialog)
{
    for (;;) {
        if (inDialog) ExtendWhileWindowsAnswer(link, PluginAnswerLimit());
        const HostPoll poll = PollPluginHost(link);
        if (poll != HostWaiting) return poll;
        MsgWaitForMultipleObjects(1, &link->process, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Whoever asked to quit still gets it, once the host is gone.
                PostQuitMessage(static_cast<int>(message.wParam));
                return HostFailed;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// The host's part of a double-click: open the library, then its settings
// dialog over the page. 0, or the number of the message to show, as the
// show names it: a host lost while loading is a library that cannot be
// loaded, one lost after is a plug-in that stopped answering.
int ConfigureInHost(HWND page, PluginHostLink* link)
{
    if (AwaitAnswer(link, false) != HostAnswered) return kNotLoadedMessage;
    WireAnswer opened;
    const bool read = WireReadAnswer(link->kind, link->body, link->bodyLength, &opened);
    DropPluginAnswer(link);
    if (!read) return kNotLoadedMessage;
    if (opened.status != 0) return static_cast<int>(opened.status);

    uint8_t owner[8];
    WirePutU64(owner, reinterpret_cast<uintptr_t>(page));
    // The plug-in's dialog is another process's window: it may come to
    // the front over the page.
    AllowSetForegroundWindow(link->processId);
    if (!SendPluginRequest(link, kWireConfigure, owner, sizeof owner, PluginAnswerLimit())) return kPluginNoAnswer;
    if (AwaitAnswer(link, true) != HostAnswered) return kPluginNoAnswer;
    const uint32_t status = WireReadU32(link->body);
    DropPluginAnswer(link);
    return status == 0 || status == kNoSettingsMessage ? static_cast<int>(status) : kPluginNoAnswer;
}

// The hint under the list gives way to the reason nothing can be opened.
void ShowRefusal(HWND page)
{
    EnableWindow(GetDlgItem(page, IDC_TEXTGEN_SETTINGS), FALSE);
    ShowWindow(GetDlgItem(page, IDC_TEXTGEN_HINT), SW_HIDE);
    ShowWindow(GetDlgItem(page, IDC_TEXTGEN_REFUSED), SW_SHOW);
}

void OpenPluginSettings(HWND page)
{
    // Asked again here: the policy may have come since the page opened.
    if (!TextGenAllowed()) {
        ShowRefusal(page);
        return;
    }
    HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    wchar_t name[kPluginNameChars];
    wchar_t path[kPluginPathChars];
    PluginHostLink link = {};
    int code = kNotLoadedMessage;
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length > 0 && length < kPluginNameChars &&
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(name)) == length &&
        JoinPluginPath(g.settings.FilePath, name, path, kPluginPathChars)) {
        code = StartPluginHost(&link, path, false, PluginAnswerLimit());
    }
    if (code == 0) {
        // Disabled by us, not only by the plug-in's dialog: a host that
        // ends without closing its dialog must not leave the page dead.
        EnableWindow(page, FALSE);
        code = ConfigureInHost(page, &link);
        // Gone before the page takes the next double-click.
        ReleasePluginHost(&link, nullptr, 0, link.awaiting != 0);
        EnableWindow(page, TRUE);
        SetActiveWindow(page);
    }
    EndPluginHost(&link);
    if (code != 0) ReportError(page, code, ShowMessageBox);
}
}

INT_PTR CALLBACK TextGenPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ListPlugins(page);
        if (!TextGenAllowed()) ShowRefusal(page);
        return TRUE;
    case WM_COMMAND:
        // Only "戻る" closes the page; Esc and the close box are ignored.
        if (LOWORD(wParam) == IDOK) {
            EndDialog(page, 1);
            return TRUE;
        }
        if ((LOWORD(wParam) == IDC_TEXTGEN_LIST && HIWORD(wParam) == LBN_DBLCLK) ||
            LOWORD(wParam) == IDC_TEXTGEN_SETTINGS) {
            OpenPluginSettings(page);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
