// The common item dialog in folder mode where the system has it, the older
// folder browser where it does not. Both hand back file-system paths in
// UTF-16, so a folder named in any script is chosen as it is.
#include "saver/settings/folder_picker_win.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

namespace {
template <typename T>
void Release(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

bool CopyOut(const wchar_t* path, wchar_t* chosen, size_t chosenChars)
{
    size_t length = path ? std::wcslen(path) : 0;
    if (length == 0 || length >= chosenChars) return false;
    std::wmemcpy(chosen, path, length + 1);
    return true;
}

// S_OK with a choice, S_FALSE when cancelled, an error when the dialog
// could not be made (the caller then tries the older browser).
HRESULT PickWithItemDialog(HWND owner, const wchar_t* start, wchar_t* chosen, size_t chosenChars)
{
    IFileOpenDialog* dialog = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  reinterpret_cast<void**>(&dialog));
    if (FAILED(hr)) return hr;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    IShellItem* folder = nullptr;
    if (start[0] != L'\0' &&
        SUCCEEDED(SHCreateItemFromParsingName(start, nullptr, IID_IShellItem, reinterpret_cast<void**>(&folder))))
        dialog->SetFolder(folder);
    Release(folder);
    hr = dialog->Show(owner);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        hr = S_FALSE;
    } else if (SUCCEEDED(hr)) {
        IShellItem* result = nullptr;
        wchar_t* path = nullptr;
        hr = dialog->GetResult(&result);
        if (SUCCEEDED(hr)) hr = result->GetDisplayName(SIGDN_FILESYSPATH, &path);
        if (SUCCEEDED(hr)) hr = CopyOut(path, chosen, chosenChars) ? S_OK : S_FALSE;
        CoTaskMemFree(path);
        Release(result);
    }
    Release(dialog);
    return hr;
}

int CALLBACK StartBrowserAt(HWND browser, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start != 0) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

bool PickWithBrowser(HWND owner, const wchar_t* start, wchar_t* chosen, size_t chosenChars)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = StartBrowserAt;
    info.lParam = start[0] != L'\0' ? reinterpret_cast<LPARAM>(start) : 0;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (item == nullptr) return false;
    // The browser hands back at most MAX_PATH units.
    wchar_t path[MAX_PATH];
    bool picked = SHGetPathFromIDListW(item, path) && CopyOut(path, chosen, chosenChars);
    CoTaskMemFree(item);
    return picked;
}
}

bool PickFolder(HWND owner, const wchar_t* start, wchar_t* chosen, size_t chosenChars)
{
    if (chosen == nullptr || chosenChars == 0) return false;
    if (start == nullptr) start = L"";
    // Both pickers need an apartment on this thread; one that the host
    // already set up differently is used as it is.
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    HRESULT picked = PickWithItemDialog(owner, start, chosen, chosenChars);
    bool result = picked == S_OK;
    if (FAILED(picked)) result = PickWithBrowser(owner, start, chosen, chosenChars);
    if (SUCCEEDED(initialised)) CoUninitialize();
    return result;
}
