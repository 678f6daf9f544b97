// A plug-in with a settings procedure that tells the tests whom it was
// called with: HKCU\Software\KelmoraTest\Plugin, "ConfigOwner" (the owner
// window as a number) and "ConfigCalls".
#include <windows.h>

#include "kit/textgen.h"

#include <cstring>

namespace {
const wchar_t kRecordKey[] = L"Software\\KelmoraTest\\Plugin";

void Record(HWND owner)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
        return;
    DWORD calls = 0, size = sizeof calls;
    RegQueryValueExW(key, L"ConfigCalls", nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size);
    ++calls;
    unsigned long long handle = reinterpret_cast<uintptr_t>(owner);
    RegSetValueExW(key, L"ConfigCalls", 0, REG_DWORD, reinterpret_cast<BYTE*>(&calls), sizeof calls);
    RegSetValueExW(key, L"ConfigOwner", 0, REG_QWORD, reinterpret_cast<BYTE*>(&handle), sizeof handle);
    RegCloseKey(key);
}
}

extern "C" {
WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    *names = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, TEXTGEN_NAME_ENTRY_SIZE);
    if (*names == nullptr) return 0;
    char* p = static_cast<char*>(GlobalLock(*names));
    std::strcpy(p, "Saying");
    GlobalUnlock(*names);
    return TEXTGEN_NAME_ENTRY_SIZE;
}

WORD WINAPI Saying(HGLOBAL* text)
{
    static const char kText[] = "cfg";
    *text = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
    if (*text == nullptr) return TEXTGEN_FAILED;
    std::memcpy(GlobalLock(*text), kText, sizeof kText);
    GlobalUnlock(*text);
    return sizeof kText - 1;
}

// A real plug-in runs its modal dialog here; returning is its closing.
WORD WINAPI GetTextgenCnfgDlg(HWND owner)
{
    Record(owner);
    return 1;
}
}
