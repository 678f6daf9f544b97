// The screen-saver password of the Windows 95 family: the platform's
// PASSWORD.CPL asks for it before the saver closes, MPR.DLL changes it.
// Other platforms lock the desktop themselves, so nothing here is active
// on them.
#include "saver/host/command_line.h"
#include "saver/host/dismissal.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"

#include <cwchar>

namespace {
const UINT kSetScreenSaverRunning = 97;
// No switch is longer; a value that is cannot be what the platform wrote.
const DWORD kLongestSwitch = 4096;

typedef DWORD (WINAPI *PwdChangePasswordFn)(LPCSTR provider, HWND owner, DWORD, DWORD);

// The platform's components are loaded from the system folder by their
// full path. By the bare name the loader would search, and on the
// Windows 95 family the current folder comes before the system folder: a
// library of the same name left in the words folder, or wherever the saver
// was started from, would run in its place and decide the password.
HMODULE LoadSystemLibrary(const wchar_t* name)
{
    wchar_t path[MAX_PATH + 32];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    if (path[length - 1] != L'\\') path[length++] = L'\\';
    size_t nameLength = wcslen(name);
    if (length + nameLength + 1 > sizeof path / sizeof path[0]) return nullptr;
    wmemcpy(path + length, name, nameLength + 1);
    // Its own imports are looked for beside it too, not in the current folder.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The platform stores the switch as four binary bytes, but a hand-edited
// or tool-written value may be a text of any length: the whole value is
// read, and one that exists but cannot be read counts as on.
bool PasswordProtectionOn()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    bool on = false;
    LONG found = RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, &type, nullptr, &size);
    if (found != ERROR_SUCCESS || size > kLongestSwitch) {
        on = found != ERROR_FILE_NOT_FOUND;
    } else {
        BYTE value[kLongestSwitch];
        DWORD read = sizeof value;
        if (RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, &type, value, &read) != ERROR_SUCCESS)
            on = true;   // grew past the bound between the two reads
        else
            on = PasswordSwitchOn(type == REG_SZ || type == REG_EXPAND_SZ ? kSwitchText : kSwitchNumber, value, read);
    }
    RegCloseKey(key);
    return on;
}

void DropPendingTicks(HWND window)
{
    // Ticks that queued up while the close was on its way would otherwise
    // run the show in a burst behind the prompt; two at most, so a
    // flooding timer cannot keep us here.
    MSG tick;
    PeekMessageW(&tick, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageW(&tick, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}
}

void LoadPasswordVerifier()
{
    if (!g.isWin95Platform) return;
    if (g.passwordLibrary != nullptr) UnloadPasswordVerifier();
    if (!PasswordProtectionOn()) return;
    g.passwordLibrary = LoadSystemLibrary(L"PASSWORD.CPL");
    if (g.passwordLibrary == nullptr) return;
    g.verifyPassword = reinterpret_cast<VerifyScreenSavePwdFn>(
        reinterpret_cast<void*>(GetProcAddress(g.passwordLibrary, "VerifyScreenSavePwd")));
    if (g.verifyPassword != nullptr)
        SetSaverRunning(1);
    else
        UnloadPasswordVerifier();
}

void UnloadPasswordVerifier()
{
    if (!g.isWin95Platform || g.passwordLibrary == nullptr) return;
    FreeLibrary(g.passwordLibrary);
    g.passwordLibrary = nullptr;
    if (g.verifyPassword != nullptr) {
        g.verifyPassword = nullptr;
        SetSaverRunning(0);
    }
}

void SetSaverRunning(UINT flag)
{
    if (!g.isWin95Platform) return;
    UINT scratch = 0;
    SystemParametersInfoW(kSetScreenSaverRunning, flag, &scratch, 0);
}

BOOL ConfirmClose(HWND window)
{
    if (g.checkingPassword) return FALSE;   // the prompt is open already
    if (g.verifyPassword == nullptr) {
        g.closing = 1;
        return TRUE;
    }
    if (PasswordPromptDue(g.lastPasswordCheck, GetTickCount())) {
        g.checkingPassword = 1;
        DropPendingTicks(window);
        // Any nonzero answer lets us close, even one with only high bits.
        g.closing = SendMessageW(window, SaverVerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
        g.checkingPassword = 0;
        if (!g.closing) SetCursor(nullptr);
        g.lastPasswordCheck = GetTickCount();
    }
    return g.closing != 0;
}

int ChangeSaverPassword(const char* argumentText)
{
    HWND owner = reinterpret_cast<HWND>(ParseWindowHandle(argumentText != nullptr ? argumentText : ""));
    if (owner == nullptr || !IsWindow(owner)) owner = GetForegroundWindow();
    HMODULE mpr = LoadSystemLibrary(L"MPR.DLL");
    if (mpr == nullptr) return 0;
    PwdChangePasswordFn change =
        reinterpret_cast<PwdChangePasswordFn>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", owner, 0, 0);
    FreeLibrary(mpr);
    return 0;
}
