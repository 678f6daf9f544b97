#include "tests/wine/wine_test_util.h"

#include "saver/host/host_win.h"
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/store_win.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

void FreshSaverState()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ResetSaverState();
    g.instance = instance;
}

void DeleteSettingsKey()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Oxbellow\\ScreenSaver.Kelmora");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteTreeW(root, L"SOFTWARE\\Policies\\Oxbellow");
}

void SetRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    HKEY key = nullptr;
    RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS) << name;
    if (key) RegCloseKey(key);
}

void SetPolicyDword(HKEY root, const wchar_t* name, DWORD value)
{
    SetRegistryValue(root, PolicyKeyPath, name, REG_DWORD, &value, sizeof value);
}

void SetSettingDword(const char* name, DWORD value)
{
    HKEY key = nullptr;
    RegCreateKey932(HKEY_CURRENT_USER, SettingsKeyPath, &key);
    RegSetDword932(key, name, value);
    if (key) RegCloseKey(key);
}

void SetSettingText(const char* name, const char* value, HKEY root)
{
    HKEY key = nullptr;
    RegCreateKey932(root, SettingsKeyPath, &key);
    RegSetString932(key, name, value);
    if (key) RegCloseKey(key);
}

namespace {
LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
}

HWND CreateHostWindow(int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = HostProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        cls.lpszClassName = L"KelmoraTestHost";
        RegisterClassW(&cls);
        registered = true;
    }
    RECT rc = {0, 0, width, height};
    AdjustWindowRect(&rc, WS_POPUP, FALSE);
    HWND w = CreateWindowExW(0, L"KelmoraTestHost", L"host", WS_POPUP | WS_VISIBLE, 0, 0, rc.right - rc.left,
                             rc.bottom - rc.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    return w;
}

HWND CreatePreviewSaver(HWND parent)
{
    WNDCLASSW cls = {};
    cls.style = 0x2B;
    cls.lpfnWndProc = SaverWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    cls.lpszClassName = L"WindowsScreenSaverClass";
    RegisterClassW(&cls);   // may already exist
    RECT rc;
    GetClientRect(parent, &rc);
    g.isPreview = 1;
    g.saverWindow = CreateWindowExW(0, L"WindowsScreenSaverClass", L"Preview", 0x52000000u, 0, 0, rc.right,
                                    rc.bottom, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Tests drive the show tick by tick. The real 100 ms timer would slip
    // extra ticks in whenever a test runs slowly on a loaded machine; the
    // field keeps its value, so the show still counts its timer as made.
    if (g.saverWindow) KillTimer(g.saverWindow, kShowTimerId);
    PumpMessages();
    return g.saverWindow;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;   // a destroyed saver asks to quit; tests go on
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Tick(HWND saver, int n)
{
    for (int i = 0; i < n; ++i) SendMessageW(saver, WM_TIMER, kShowTimerId, 0);
    PumpMessages();
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

std::wstring BesideTests(const wchar_t* name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + name;
}

std::string MakeTempFolder(const char* tag)
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    char narrow[MAX_PATH * 2];
    NarrowTo932(base, -1, narrow, sizeof narrow);
    char folder[MAX_PATH * 2];
    std::snprintf(folder, sizeof folder, "%skt_%s_%lu", narrow, tag, GetCurrentProcessId());
    RemoveTree(folder);
    Wide932 w;
    WideFrom932(&w, folder, -1);
    CreateDirectoryW(w.text, nullptr);
    FreeWide932(&w);
    return folder;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFile932(path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string Encode(const std::string& utf8, Form form)
{
    if (form == Utf8Bare) return utf8;
    if (form == Utf8Marked) return "\xEF\xBB\xBF" + utf8;
    std::wstring wide(utf8.size(), L'\0');
    int n = utf8.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                                   static_cast<int>(wide.size()));
    std::string bytes = form == Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
    for (int i = 0; i < n; ++i) {
        char low = static_cast<char>(wide[i] & 0xFF), high = static_cast<char>(wide[i] >> 8);
        bytes += form == Utf16Le ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

void RemoveTree(const std::string& folder)
{
    Wide932 w;
    WideFrom932(&w, folder.c_str(), -1);
    std::wstring pattern = std::wstring(w.text) + L"\\*";
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(pattern.c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = std::wstring(w.text) + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                char narrow[MAX_PATH * 2];
                NarrowTo932(full.c_str(), -1, narrow, sizeof narrow);
                RemoveTree(narrow);
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(w.text);
    FreeWide932(&w);
}

bool SetSettingsKeyAccess(DWORD allowed)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Oxbellow\\ScreenSaver.Kelmora\\Main\\", 0, WRITE_DAC, &key) !=
        ERROR_SUCCESS)
        return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    bool ok = AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) != 0;
    alignas(8) BYTE aclBuffer[256];
    PACL acl = reinterpret_cast<PACL>(aclBuffer);
    SECURITY_DESCRIPTOR sd;
    ok = ok && InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION) &&
         AddAccessAllowedAce(acl, ACL_REVISION, allowed, everyone) &&
         InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) && SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
         RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    if (everyone) FreeSid(everyone);
    RegCloseKey(key);
    return ok;
}

namespace {
SeenBox watched;
int watchTries;

std::string Narrow(const wchar_t* text)
{
    char bytes[512];
    return NarrowTo932(text, -1, bytes, sizeof bytes) < 0 ? "?" : bytes;
}

BOOL CALLBACK CollectText(HWND child, LPARAM)
{
    wchar_t text[256] = L"";
    GetWindowTextW(child, text, 256);
    watched.texts.push_back(Narrow(text));
    return TRUE;
}

// A visible dialog-class window of this thread that has a static text
// child: the message box, not a dialog the test itself keeps open.
BOOL CALLBACK FindBox(HWND w, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&found));
    if (found == nullptr && ++watchTries < 200) return;
    KillTimer(nullptr, id);
    if (found == nullptr) return;
    watched.found = true;
    wchar_t caption[256] = L"";
    GetWindowTextW(found, caption, 256);
    watched.caption = Narrow(caption);
    EnumChildWindows(found, CollectText, 0);
    PostMessageW(found, WM_COMMAND, IDOK, 0);
}
}

SeenBox WatchMessageBox(const std::function<void()>& action)
{
    watched = SeenBox();
    watchTries = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseBox);
    action();
    if (timer) KillTimer(nullptr, timer);
    return watched;
}

bool HasText(const SeenBox& box, const std::string& wanted)
{
    for (const std::string& t : box.texts)
        if (t == wanted) return true;
    return false;
}

std::string Narrow932(const wchar_t* text)
{
    char bytes[kItemPathChars * 2];
    return NarrowTo932(text, -1, bytes, sizeof bytes) < 0 ? "?" : bytes;
}

void Widen932(const std::string& text, wchar_t* out, size_t chars)
{
    std::memset(out, 0, chars * sizeof(wchar_t));
    MultiByteToWideChar(932, 0, text.c_str(), -1, out, static_cast<int>(chars) - 1);
}

const wchar_t* const kOwnHost = sizeof(void*) == 8 ? L"KELMTG64.EXE" : L"KELMTG32.EXE";

std::vector<DWORD> ProcessesNamed(const wchar_t* exe, DWORD waitMs)
{
    std::vector<DWORD> found;
    for (ULONGLONG end = GetTickCount64() + waitMs; found.empty(); Sleep(50)) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry;
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            if (lstrcmpiW(entry.szExeFile, exe) == 0) found.push_back(entry.th32ProcessID);
        CloseHandle(snapshot);
        if (GetTickCount64() >= end) break;
    }
    return found;
}

bool ProcessesEnd(const std::vector<DWORD>& ids, DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (DWORD id : ids) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (!process) continue;
        const ULONGLONG now = GetTickCount64();
        const DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const bool ended = WaitForSingleObject(process, wait) == WAIT_OBJECT_0;
        CloseHandle(process);
        if (!ended) return false;
    }
    return true;
}
