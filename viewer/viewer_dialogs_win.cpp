// The three dialogs of KELMGDBG: loading a plug-in, running one of its text
// procedures, and the version box. Every plug-in call is made from here or
// from the main window's menu, on the one GUI thread.
#include "viewer/viewer_state.h"
#include "viewer/viewer_resource.h"
#include "common/text932_win.h"
#include "kit/textgen.h"

#include <commdlg.h>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {
// The close box and Esc send IDCANCEL, which the dialogs' own Cancel id
// (1005) does not cover: both must close them.
bool IsCancel(WPARAM wParam)
{
    return LOWORD(wParam) == IDC_CANCEL || LOWORD(wParam) == IDCANCEL;
}

// A name without a folder is looked for in the folder last browsed, or
// else in the current folder; the library search path is never used, so a
// typed name cannot pull in a system library or one planted beside the
// program.
HMODULE LoadPluginByFullPath(const char* name)
{
    Wide932 typed;
    WideFrom932(&typed, name, -1);
    HMODULE module = nullptr;
    wchar_t joined[MAX_PATH * 2];
    const wchar_t* source = typed.text;
    bool bare = std::wcspbrk(typed.text, L"\\/:") == nullptr;
    if (typed.length > 0 && bare && v.browseFolder[0] != L'\0') {
        int n = std::swprintf(joined, sizeof joined / sizeof joined[0], L"%ls%ls", v.browseFolder, typed.text);
        source = n > 0 ? joined : nullptr;
    }
    wchar_t full[MAX_PATH * 2];
    DWORD n = source && typed.length > 0 ? GetFullPathNameW(source, sizeof full / sizeof full[0], full, nullptr) : 0;
    if (n > 0 && n < sizeof full / sizeof full[0]) {
        // A file that is not a library must give a refusal, not a system
        // error box.
        UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        module = LoadLibraryExW(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        SetErrorMode(oldMode);
    }
    FreeWide932(&typed);
    return module;
}

void BrowseForPlugin(HWND dialog)
{
    wchar_t path[MAX_PATH * 2] = L"";
    wchar_t title[128] = L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = L"TextGenDLL\0*.dll\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path / sizeof path[0];
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title / sizeof title[0];
    ofn.lpstrTitle = L"TextGenDLL File";
    ofn.lpstrDefExt = L"DLL";
    if (!GetOpenFileNameW(&ofn)) return;
    if (ofn.nFileOffset > 0 && ofn.nFileOffset < sizeof v.browseFolder / sizeof v.browseFolder[0]) {
        std::wmemcpy(v.browseFolder, path, ofn.nFileOffset);
        v.browseFolder[ofn.nFileOffset] = L'\0';
    }
    SetDlgItemTextW(dialog, IDC_DLLNAME, title);
}

bool IsBareName(const char* name)
{
    return name[0] != '\0' && std::strpbrk(name, "\\/:") == nullptr;
}

// Says once, at load, where the saver would stop walking this names block
// (its Em042: no procedure of that name), so that a plug-in that looks
// fine here cannot fail in the show. The saver looks up the entries in
// block order and stops at the first it cannot call.
void TellWhereTheSaverStops(HWND dialog)
{
    int32_t at = FirstRefusedEntry(&v.names);
    const uint32_t checked = at < 0 ? v.names.count : static_cast<uint32_t>(at);
    for (uint32_t i = 0; i < checked; ++i) {
        if (!GetProcAddress(v.viewerPlugin, v.names.entries[i].text)) {
            at = static_cast<int32_t>(i);
            break;
        }
    }
    if (at < 0) return;
    char format[256], reason[192], text[512];
    if (static_cast<uint32_t>(at) >= v.names.count) {
        LoadString932(v.instance, IDS_SAVER_STOPS_AT_ONCE, format, sizeof format);
        std::snprintf(text, sizeof text, format, static_cast<unsigned>(v.viewerNamesSize));
    } else {
        const ProcNameEntry& entry = v.names.entries[at];
        UINT why = entry.verdict == kProcNameEmpty ? IDS_WHY_EMPTY
                 : entry.verdict == kProcNameUnterminated ? IDS_WHY_UNTERMINATED
                 : IDS_WHY_NOT_EXPORTED;
        LoadString932(v.instance, why, format, sizeof format);
        std::snprintf(reason, sizeof reason, format, entry.text);
        LoadString932(v.instance, IDS_SAVER_STOPS, format, sizeof format);
        std::snprintf(text, sizeof text, format, static_cast<unsigned>(at + 1), static_cast<unsigned>(entry.offset), reason);
    }
    MessageBox932(dialog, text, kViewerCaption, MB_OK);
}

// OK of the load dialog. True when the plug-in is loaded and listed.
bool LoadPlugin(HWND dialog)
{
    ReleasePlugin();
    char typed[1024];
    int length = GetDlgItemText932(dialog, IDC_DLLNAME, typed, sizeof typed);
    // A longer name cannot be kept; cutting it would load some other file.
    if (length >= static_cast<int>(sizeof v.pluginFileName)) {
        ShowViewerMessage(dialog, IDS_CANT_LOAD);
        return false;
    }
    std::memcpy(v.pluginFileName, typed, static_cast<size_t>(length) + 1);
    HMODULE module = LoadPluginByFullPath(v.pluginFileName);
    if (module == nullptr) {
        ShowViewerMessage(dialog, IsBareName(v.pluginFileName) ? IDS_CANT_LOAD_BARE : IDS_CANT_LOAD);
        return false;
    }
    TextgenNamesProc getNames =
        reinterpret_cast<TextgenNamesProc>(reinterpret_cast<void*>(GetProcAddress(module, "GetTextgenProcNames")));
    if (getNames == nullptr) {
        FreeLibrary(module);
        ShowViewerMessage(dialog, IDS_NO_NAMES_PROC);
        return false;
    }
    v.viewerPlugin = module;
    HGLOBAL names = nullptr;
    BeginPluginCall(dialog);
    v.viewerNamesSize = getNames(&names);
    EndPluginCall(dialog);
    // A handle that does not lock is not a block the plug-in gave away:
    // it is neither read nor freed.
    const char* address = names ? static_cast<const char*>(GlobalLock(names)) : nullptr;
    if (address) {
        v.viewerNames = names;
        v.viewerNamesAddress = address;
        WalkProcNames(address, GlobalSize(names), v.viewerNamesSize, &v.names);
    }
    HMENU menu = GetMenu(v.mainWindow);
    EnableMenuItem(menu, IDM_RUN, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(menu, IDM_SETTINGS, MF_BYCOMMAND | MF_ENABLED);
    TellWhereTheSaverStops(dialog);
    return true;
}

void ShowTextBlock(const char* text, size_t bytes)
{
    Wide932 w;
    WideFrom932(&w, text, static_cast<int>(bytes));
    SetWindowTextW(v.textView, w.text);
    FreeWide932(&w);
}

// Run button of the run dialog. A failed run leaves the plug-in loaded and
// usable: the next run or a settings call still reaches a live library.
bool RunSelectedProc(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROCLIST);
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) {
        ShowViewerMessage(dialog, IDS_NO_SELECTION);
        return false;
    }
    // The name comes from the copy made at load, not from the list's text,
    // so the lookup uses the plug-in's own bytes. An entry the saver could
    // not look up (empty, or without its NUL) is not looked up here either.
    LRESULT index = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    TextgenTextProc proc = nullptr;
    if (v.viewerPlugin && index >= 0 && static_cast<uint32_t>(index) < v.names.count &&
        v.names.entries[index].verdict == kProcNameUsable)
        proc = reinterpret_cast<TextgenTextProc>(
            reinterpret_cast<void*>(GetProcAddress(v.viewerPlugin, v.names.entries[index].text)));
    if (proc == nullptr) {
        ShowViewerMessage(dialog, IDS_PROC_MISSING);
        return false;
    }
    v.viewerText = nullptr;
    BeginPluginCall(dialog);
    WORD length = proc(&v.viewerText);
    EndPluginCall(dialog);
    if (length == 0) {
        // A block handed over with the failure is ours all the same, as in
        // the saver; a slot left holding no block is not freed.
        if (v.viewerText && GlobalSize(v.viewerText) != 0) GlobalFree(v.viewerText);
        v.viewerText = nullptr;
        ShowViewerMessage(dialog, IDS_PROC_RETURNED_ZERO);
        return false;
    }
    const char* text = v.viewerText ? static_cast<const char*>(GlobalLock(v.viewerText)) : nullptr;
    if (text == nullptr) {
        v.viewerText = nullptr;
        ShowViewerMessage(dialog, IDS_PROC_NO_TEXT);
        return false;
    }
    ShowTextBlock(text, ShownTextBytes(text, GlobalSize(v.viewerText)));
    GlobalUnlock(v.viewerText);
    GlobalFree(v.viewerText);
    v.viewerText = nullptr;
    return true;
}
}

INT_PTR CALLBACK LoadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemText932(dialog, IDC_DLLNAME, v.pluginFileName);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BROWSE) {
            BrowseForPlugin(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_OK) {
            if (LoadPlugin(dialog)) EndDialog(dialog, IDC_OK);
            return TRUE;
        }
        if (IsCancel(wParam)) {
            EndDialog(dialog, IDC_CANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = GetDlgItem(dialog, IDC_PROCLIST);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        // One row for every entry below the size, as the saver walks them:
        // an empty or broken entry shows as what it holds.
        for (uint32_t i = 0; i < v.names.count; ++i) {
            LRESULT at = ListBoxAdd932(list, v.names.entries[i].text);
            if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), i);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_RUNPROC) {
            if (RunSelectedProc(dialog)) EndDialog(dialog, IDC_RUNPROC);
            return TRUE;
        }
        if (IsCancel(wParam)) {
            EndDialog(dialog, IDC_CANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDC_OK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
