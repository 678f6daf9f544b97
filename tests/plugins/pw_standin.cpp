// Stands in for the platform's password components, copied under their
// names (PASSWORD.CPL, MPR.DLL). Calls are written to
// HKCU\Software\KelmoraTest\Password with the path they were loaded from.
// The verifier answers after the text "Script", one character a call:
// '0' no, 'r' no and a close asked again at once (the mouse moving as the
// prompt goes), '7' an unusual yes; past its end, yes.
#include <windows.h>

#include <cstring>

namespace {
HMODULE self;

HKEY Record(const wchar_t* what, HWND owner)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KelmoraTest\\Password", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    wchar_t name[32];
    DWORD calls = 0, size = sizeof calls;
    lstrcpyW(name, what);
    lstrcatW(name, L"Calls");
    RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size);
    ++calls;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&calls), sizeof calls);
    unsigned long long handle = reinterpret_cast<uintptr_t>(owner);
    lstrcpyW(name, what);
    RegSetValueExW(key, lstrcatW(name, L"Owner"), 0, REG_QWORD, reinterpret_cast<BYTE*>(&handle), sizeof handle);
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(self, path, MAX_PATH);
    CharLowerW(path);
    lstrcpyW(name, what);
    RegSetValueExW(key, lstrcatW(name, L"From"), 0, REG_SZ, reinterpret_cast<BYTE*>(path),
                   (lstrlenW(path) + 1) * sizeof(wchar_t));
    return key;
}
}

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    HKEY key = Record(L"Verify", window);
    DWORD call = 0, size = sizeof call;
    RegQueryValueExW(key, L"VerifyCalls", nullptr, nullptr, reinterpret_cast<BYTE*>(&call), &size);
    char script[64] = "";
    size = sizeof script - 1;
    RegQueryValueExA(key, "Script", nullptr, nullptr, reinterpret_cast<BYTE*>(script), &size);
    RegCloseKey(key);
    char step = call <= std::strlen(script) ? script[call - 1] : '1';
    if (step == 'r') PostMessageW(window, WM_CLOSE, 0, 0);
    return step == '0' || step == 'r' ? 0 : step == '7' ? 7 : 1;
}

DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD third, DWORD fourth)
{
    HKEY key = Record(L"Change", owner);
    char text[64];
    lstrcpynA(text, provider ? provider : "(none)", 40);
    if (third | fourth) lstrcatA(text, "+extra");
    RegSetValueExA(key, "Provider", 0, REG_SZ, reinterpret_cast<BYTE*>(text), lstrlenA(text) + 1);
    RegCloseKey(key);
    return 0;
}
}
