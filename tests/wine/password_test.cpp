// The screen-saver password of the Windows 95 family, with the real saver
// started as its own process under Wine's "win98" version and a stand-in
// for the platform's components (tests/plugins/pw_standin) placed in the
// system folder. The stand-in writes every call it gets to HKCU.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/wine/wine_test_util.h"

namespace {
const wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\KELMORA.scr";
const wchar_t kRecordKey[] = L"Software\\KelmoraTest\\Password";
const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

std::wstring Beside(const wchar_t* name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

std::wstring SystemPath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\" + name;
}

std::wstring Lower(std::wstring s)
{
    CharLowerW(&s[0]);
    return s;
}

void SetValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetText(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* text)
{
    SetValue(root, path, name, REG_SZ, text, static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
}

struct Record {
    DWORD verifyCalls = 0, changeCalls = 0, changeRest = 0xBAD;
    unsigned long long verifyOwner = 0, changeOwner = 0;
    std::wstring verifyFrom, changeFrom, provider;
};

Record ReadRecord()
{
    Record r;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRecordKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return r;
    auto number = [&](const wchar_t* name, void* out, DWORD size) {
        RegQueryValueExW(key, name, nullptr, nullptr, static_cast<BYTE*>(out), &size);
    };
    auto text = [&](const wchar_t* name) {
        wchar_t buffer[MAX_PATH] = L"";
        DWORD size = sizeof buffer - sizeof(wchar_t);
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        return std::wstring(buffer);
    };
    number(L"VerifyCalls", &r.verifyCalls, sizeof r.verifyCalls);
    number(L"ChangeCalls", &r.changeCalls, sizeof r.changeCalls);
    number(L"ChangeRest", &r.changeRest, sizeof r.changeRest);
    number(L"VerifyOwner", &r.verifyOwner, sizeof r.verifyOwner);
    number(L"ChangeOwner", &r.changeOwner, sizeof r.changeOwner);
    r.verifyFrom = Lower(text(L"VerifyFrom"));
    r.changeFrom = Lower(text(L"ChangeFrom"));
    r.provider = text(L"Provider");
    RegCloseKey(key);
    return r;
}

struct Saver {
    PROCESS_INFORMATION pi = {};
    bool ok = false;
};

Saver StartSaver(const std::wstring& arguments, const std::wstring& folder)
{
    Saver s;
    std::wstring line = L"\"" + Beside(L"KELMORA.scr") + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    s.ok = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &s.pi) != 0;
    return s;
}

DWORD WaitExit(Saver& s, DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(s.pi.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(s.pi.hProcess, &code);
    return code;
}

void Finish(Saver& s)
{
    if (!s.ok) return;
    if (WaitForSingleObject(s.pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(s.pi.hProcess, 99);
        WaitForSingleObject(s.pi.hProcess, 5000);
    }
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
    s.ok = false;
}

HWND WaitForSaverWindow()
{
    for (int waited = 0; waited < 20000; waited += 50) {
        HWND w = FindWindowW(L"WindowsScreenSaverClass", L"Screen Saver");
        if (w) return w;
        Sleep(50);
    }
    return nullptr;
}

// Each case gets the Windows 95 family for the saver alone, a words folder
// that is also its current folder, and leaves no stand-in, record or
// per-program setting behind for the other tests.
struct PasswordProcess : testing::Test {
    std::wstring words;
    std::string wordsNarrow;
    bool mprMoved = false;
    Saver saver;
    BYTE savedSwitch[64];
    DWORD savedSwitchSize = 0, savedSwitchType = REG_NONE;
    bool hadSwitch = false;

    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        SetSettingDword("Opening", 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        SetText(HKEY_CURRENT_USER, kAppKey, L"Version", L"win98");
        SetText(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\DllOverrides").c_str(), L"mpr", L"native");
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            savedSwitchSize = sizeof savedSwitch;
            hadSwitch = RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, &savedSwitchType, savedSwitch,
                                         &savedSwitchSize) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
        wordsNarrow = MakeTempFolder("pwwords");
        words = std::wstring(wordsNarrow.begin(), wordsNarrow.end());
        SetSettingText("FilePath", wordsNarrow.c_str());
    }
    void TearDown() override
    {
        Finish(saver);
        DeleteFileW(SystemPath(L"PASSWORD.CPL").c_str());
        if (mprMoved) {
            DeleteFileW(SystemPath(L"mpr.dll").c_str());
            MoveFileW(SystemPath(L"mpr.dll.kelmora-test").c_str(), SystemPath(L"mpr.dll").c_str());
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            if (hadSwitch)
                RegSetValueExW(key, L"ScreenSaveUsePassword", 0, savedSwitchType, savedSwitch, savedSwitchSize);
            else
                RegDeleteValueW(key, L"ScreenSaveUsePassword");
            RegCloseKey(key);
        }
        RemoveTree(wordsNarrow);
        DeleteSettingsKey();
    }
    void Protection(DWORD type, const void* data, DWORD size)
    {
        SetValue(HKEY_CURRENT_USER, kDesktopKey, L"ScreenSaveUsePassword", type, data, size);
    }
    bool PlaceStandIn(const std::wstring& to) { return CopyFileW(Beside(L"testplugins\\pw_standin.dll").c_str(), to.c_str(), FALSE) != 0; }
    // The system's own MPR.DLL is set aside so that only ours can answer.
    bool SetMprAside()
    {
        mprMoved = MoveFileW(SystemPath(L"mpr.dll").c_str(), SystemPath(L"mpr.dll.kelmora-test").c_str()) != 0;
        return mprMoved;
    }
};
}

TEST_F(PasswordProcess, FirstInputClosesUnlessProtectionIsOnAndAnyYesCloses)
{
    ASSERT_TRUE(PlaceStandIn(SystemPath(L"PASSWORD.CPL")));
    const DWORD off = 0, on = 1;
    const BYTE binaryOn[4] = {0, 1, 0, 0};
    struct Case {
        int line;
        DWORD type;
        const void* data;
        DWORD size;
        const wchar_t* script;
        DWORD prompts;
    } cases[] = {
        {__LINE__, REG_DWORD, &off, 4, L"0", 0},
        {__LINE__, REG_SZ, L"0", 4, L"0", 0},        // a text "0" is off, not a nonzero number
        {__LINE__, REG_BINARY, binaryOn, 4, L"7", 1},  // an unusual yes closes all the same
        {__LINE__, REG_DWORD, &on, 4, L"1", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        SetText(HKEY_CURRENT_USER, kRecordKey, L"Script", c.script);
        Protection(c.type, c.data, c.size);
        saver = StartSaver(L"/s", words);
        ASSERT_TRUE(saver.ok);
        HWND window = WaitForSaverWindow();
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(WaitExit(saver, 20000), 0u);
        Finish(saver);
        Record r = ReadRecord();
        EXPECT_EQ(r.verifyCalls, c.prompts);
        if (c.prompts) {
            EXPECT_EQ(r.verifyOwner, reinterpret_cast<uintptr_t>(window));
            EXPECT_EQ(r.verifyFrom, Lower(SystemPath(L"PASSWORD.CPL")));
        }
    }
}

TEST_F(PasswordProcess, ARefusedPasswordKeepsTheSaverAndHoldsOffTheNextPrompt)
{
    ASSERT_TRUE(PlaceStandIn(SystemPath(L"PASSWORD.CPL")));
    const DWORD on = 1;
    Protection(REG_DWORD, &on, 4);
    // The first prompt is refused and the close comes again at once; the
    // next one, later, is accepted.
    SetText(HKEY_CURRENT_USER, kRecordKey, L"Script", L"r1");
    saver = StartSaver(L"/s", words);
    ASSERT_TRUE(saver.ok);
    HWND window = WaitForSaverWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(saver, 1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(ReadRecord().verifyCalls, 1u);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(saver, 20000), 0u);
    EXPECT_EQ(ReadRecord().verifyCalls, 2u);
}

TEST_F(PasswordProcess, LibrariesOfTheSameNameOutsideTheSystemFolderNeverRun)
{
    // Nothing in the system folder; look-alikes where the bare name would
    // be searched.
    ASSERT_TRUE(PlaceStandIn(words + L"\\PASSWORD.CPL"));
    ASSERT_TRUE(PlaceStandIn(words + L"\\MPR.DLL"));
    ASSERT_TRUE(SetMprAside());
    const DWORD on = 1;
    Protection(REG_DWORD, &on, 4);
    SetText(HKEY_CURRENT_USER, kRecordKey, L"Script", L"000");
    saver = StartSaver(L"/s", words);
    ASSERT_TRUE(saver.ok);
    HWND window = WaitForSaverWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(saver, 20000), 0u);   // no verifier: no protection
    Finish(saver);

    saver = StartSaver(L"/a", words);
    ASSERT_TRUE(saver.ok);
    EXPECT_EQ(WaitExit(saver, 20000), 0u);
    Record r = ReadRecord();
    EXPECT_EQ(r.verifyCalls, 0u);
    EXPECT_EQ(r.changeCalls, 0u);
}

TEST_F(PasswordProcess, ChangeAsksTheSystemsComponentForTheSaverPasswordOverTheOwner)
{
    ASSERT_TRUE(SetMprAside());
    ASSERT_TRUE(PlaceStandIn(SystemPath(L"mpr.dll")));
    HWND owner = CreateHostWindow(200, 100);
    struct Case {
        int line;
        std::wstring argument;
        HWND expectedOwner;   // nullptr: whatever is in the foreground
    } cases[] = {
        {__LINE__, L"/a " + std::to_wstring(reinterpret_cast<uintptr_t>(owner)), owner},
        {__LINE__, L"/a 4", nullptr},   // not a window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        saver = StartSaver(c.argument, words);
        ASSERT_TRUE(saver.ok);
        EXPECT_EQ(WaitExit(saver, 20000), 0u);
        Finish(saver);
        Record r = ReadRecord();
        EXPECT_EQ(r.changeCalls, 1u);
        EXPECT_EQ(r.provider, L"SCRSAVE");
        EXPECT_EQ(r.changeRest, 0u);
        EXPECT_EQ(r.changeFrom, Lower(SystemPath(L"mpr.dll")));
        if (c.expectedOwner) EXPECT_EQ(r.changeOwner, reinterpret_cast<uintptr_t>(c.expectedOwner));
        else EXPECT_NE(r.changeOwner, 4u);
    }
    DestroyWindow(owner);
}
