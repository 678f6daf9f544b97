// The TextGenDLL page: lists the plug-ins of the words folder and opens the
// settings dialog of the one double-clicked. The plug-in keeps its own
// settings; the page stores nothing.
#include "common/text932_win.h"
#include "kit/textgen.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/pages_win.h"
#include "saver/common/errors_win.h"

#include <cstring>

namespace {
const int kNotLoadedMessage = 40;    // Em040
const int kNoSettingsMessage = 44;   // Em044

// Room for the longest folder the settings hold, the backslash and the
// longest name a search can list, so every listed plug-in can be reached
// however long its path; a 100-byte path would cut off long folders.
enum { kPluginNameSize = sizeof(FindData932::name), kPluginPathSize = kFilePathSize + 1 + kPluginNameSize };

// False when the joined path would not fit: never cut, since a cut path
// could name another library. No folder chosen yet (a new machine) is no
// folder at all: joined, it would name the root of the current drive.
bool JoinPluginPath(const char* folder, const char* name, char* path, size_t size)
{
    size_t folderLength = strnlen(folder, kFilePathSize);
    size_t nameLength = std::strlen(name);
    if (folderLength == 0 || folderLength >= kFilePathSize || folderLength + 1 + nameLength + 1 > size) return false;
    std::memcpy(path, folder, folderLength);
    path[folderLength] = '\\';
    std::memcpy(path + folderLength + 1, name, nameLength + 1);
    return true;
}

// The folder as the main dialog loaded it, not what its edit holds now.
void ListPlugins(HWND page)
{
    HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    char pattern[kFilePathSize + 8];
    if (!JoinPluginPath(g.settings.FilePath, "*.DLL", pattern, sizeof pattern)) return;
    FindData932 found;
    HANDLE search = FindFirst932(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // A name without a Shift-JIS form goes by its short name, which
        // still loads; without one it cannot be named here at all.
        if (found.nameFits)
            ListBoxAdd932(list, found.name);
        else if (found.shortName[0] != '\0')
            ListBoxAdd932(list, found.shortName);
    } while (FindNext932(search, &found));
    FindClose(search);
}

void OpenPluginSettings(HWND page)
{
    HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    char name[kPluginNameSize];
    char path[kPluginPathSize];
    HMODULE plugin = nullptr;
    if (ListBoxText932(list, static_cast<int>(selected), name, sizeof name) > 0 &&
        JoinPluginPath(g.settings.FilePath, name, path, sizeof path))
        plugin = LoadPluginLibrary932(path);
    if (plugin == nullptr) {
        ReportError(page, kNotLoadedMessage, ShowMessageBox);
        return;
    }
    TextgenConfigProc configure =
        reinterpret_cast<TextgenConfigProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetTextgenCnfgDlg")));
    if (configure == nullptr) {
        FreeLibrary(plugin);
        ReportError(page, kNoSettingsMessage, ShowMessageBox);
        return;
    }
    configure(page);
    FreeLibrary(plugin);
}
}

INT_PTR CALLBACK TextGenPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ListPlugins(page);
        return TRUE;
    case WM_COMMAND:
        // Only "戻る" closes the page; Esc and the close box are ignored.
        if (LOWORD(wParam) == IDOK) {
            EndDialog(page, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_TEXTGEN_LIST && HIWORD(wParam) == LBN_DBLCLK) {
            OpenPluginSettings(page);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
