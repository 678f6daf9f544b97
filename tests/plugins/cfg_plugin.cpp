// A plug-in's settings procedure that tells the tests whom it was called
// with: HKCU\Software\KelmoraTest\Plugin "ConfigOwner" (the owner window)
// and "OwnerEnabled" (whether the owner took input while the dialog ran).
// Returning stands for its modal dialog closing.
#include <windows.h>

extern "C" WORD WINAPI GetTextgenCnfgDlg(HWND owner)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KelmoraTest\\Plugin", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 0;
    unsigned long long handle = reinterpret_cast<uintptr_t>(owner);
    RegSetValueExW(key, L"ConfigOwner", 0, REG_QWORD, reinterpret_cast<BYTE*>(&handle), sizeof handle);
    DWORD enabled = IsWindowEnabled(owner) ? 1 : 0;
    RegSetValueExW(key, L"OwnerEnabled", 0, REG_DWORD, reinterpret_cast<BYTE*>(&enabled), sizeof enabled);
    RegCloseKey(key);
    return 1;
}
