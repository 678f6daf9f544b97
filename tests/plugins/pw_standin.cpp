// Stands in for the platform's password components in the tests, copied
// under their names (PASSWORD.CPL, MPR.DLL). Each call is written to
// HKCU\Software\KelmoraTest\Password with the path it was loaded from; the
// verifier answers after the text value "Script", one character a call:
// '0' refuse, 'r' refuse and ask to close again at once (the user moving
// the mouse as the prompt goes), '7' an unusual nonzero yes; else yes.
#include <windows.h>

#include <cstring>

namespace {
const wchar_t kRecordKey[] = L"Software\\KelmoraTest\\Password";
HMODULE self;

HKEY OpenRecord()
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

DWORD Count(HKEY key, const wchar_t* name)
{
    DWORD calls = 0, size = sizeof calls;
    RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&calls), &size);
    ++calls;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&calls), sizeof calls);
    return calls;
}

void SetHandle(HKEY key, const wchar_t* name, HWND window)
{
    unsigned long long handle = reinterpret_cast<uintptr_t>(window);
    RegSetValueExW(key, name, 0, REG_QWORD, reinterpret_cast<BYTE*>(&handle), sizeof handle);
}

void SetFrom(HKEY key, const wchar_t* name)
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(self, path, MAX_PATH);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<BYTE*>(path), (lstrlenW(path) + 1) * sizeof(wchar_t));
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
    HKEY key = OpenRecord();
    DWORD call = Count(key, L"VerifyCalls");
    SetHandle(key, L"VerifyOwner", window);
    SetFrom(key, L"VerifyFrom");
    char script[64] = "";
    DWORD size = sizeof script - 1;
    RegQueryValueExA(key, "Script", nullptr, nullptr, reinterpret_cast<BYTE*>(script), &size);
    RegCloseKey(key);
    char step = call <= std::strlen(script) ? script[call - 1] : '1';
    if (step == 'r') PostMessageW(window, WM_CLOSE, 0, 0);
    if (step == '0' || step == 'r') return 0;
    return step == '7' ? 7 : 1;
}

DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD third, DWORD fourth)
{
    HKEY key = OpenRecord();
    Count(key, L"ChangeCalls");
    SetHandle(key, L"ChangeOwner", owner);
    SetFrom(key, L"ChangeFrom");
    if (provider != nullptr)
        RegSetValueExA(key, "Provider", 0, REG_SZ, reinterpret_cast<const BYTE*>(provider),
                       static_cast<DWORD>(std::strlen(provider) + 1));
    DWORD rest = third | fourth;
    RegSetValueExW(key, L"ChangeRest", 0, REG_DWORD, reinterpret_cast<BYTE*>(&rest), sizeof rest);
    RegCloseKey(key);
    return 0;
}
}
