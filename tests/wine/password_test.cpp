// The screen-saver password of the Windows 95 family: the real saver as
// its own process under Wine's "win98" version, with the stand-in of
// tests/plugins/pw_standin placed where a test case wants it. The stand-in
// writes every call it gets to HKCU.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/wine/wine_test_util.h"

namespace {
const wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\KELMORA.scr";
const wchar_t kRecordKey[] = L"Software\\KelmoraTest\\Password";

std::wstring SystemPath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetSystemDirectoryW(dir, MAX_PATH);
    std::wstring path = std::wstring(dir) + L"\\" + name;
    CharLowerW(&path[0]);
    return path;
}

void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    RegSetKeyValueW(root, path.c_str(), name, type, data, size);
}

void SetText(const std::wstring& path, const wchar_t* name, const wchar_t* text)
{
    SetValue(HKEY_CURRENT_USER, path, name, REG_SZ, text, (lstrlenW(text) + 1) * sizeof(wchar_t));
}

unsigned long long RecordNumber(const wchar_t* name)
{
    unsigned long long value = 0;
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kRecordKey, name, RRF_RT_DWORD | RRF_RT_QWORD, nullptr, &value, &size);
    return value;
}

std::wstring RecordText(const wchar_t* name)
{
    wchar_t text[MAX_PATH] = L"";
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, kRecordKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
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

// The saver for the Windows 95 family alone, its words folder also its
// current folder; no stand-in, record or per-program setting is left
// behind for the other tests.
struct PasswordProcess : testing::Test {
    std::string words;
    std::wstring wordsW;
    bool mprAside = false;
    PROCESS_INFORMATION pi = {};

    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        SetSettingDword("Opening", 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        SetText(kAppKey, L"Version", L"win98");
        SetText(std::wstring(kAppKey) + L"\\DllOverrides", L"mpr", L"native");   // our stand-in, not Wine's own
        words = MakeTempFolder("pwwords");
        wordsW.assign(words.begin(), words.end());
        SetSettingText("FilePath", words.c_str());
    }
    void TearDown() override
    {
        Finish();
        DeleteFileW(SystemPath(L"password.cpl").c_str());
        if (mprAside) MoveFileExW(SystemPath(L"mpr.dll.kelmora-test").c_str(), SystemPath(L"mpr.dll").c_str(), MOVEFILE_REPLACE_EXISTING);
        RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword");
        RemoveTree(words);
        DeleteSettingsKey();
    }
    bool Place(const std::wstring& to) { return CopyFileW(BesideTests(L"testplugins\\pw_standin.dll").c_str(), to.c_str(), FALSE) != 0; }
    // Wine's own MPR.DLL set aside, so that nothing but a stand-in answers.
    bool SetMprAside()
    {
        return mprAside = MoveFileW(SystemPath(L"mpr.dll").c_str(), SystemPath(L"mpr.dll.kelmora-test").c_str()) != 0;
    }
    bool Start(const std::wstring& arguments)
    {
        std::wstring line = L"\"" + BesideTests(L"KELMORA.scr") + L"\" " + arguments;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, wordsW.c_str(), &si, &pi) != 0;
    }
    DWORD WaitExit(DWORD ms)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    void Finish()
    {
        if (pi.hProcess == nullptr) return;
        if (WaitExit(0) == STILL_ACTIVE) TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        pi = PROCESS_INFORMATION();
    }
};
}

TEST_F(PasswordProcess, FirstInputClosesUnlessTheSystemsVerifierSaysNo)
{
    const DWORD off = 0, on = 1;
    const BYTE binaryOn[4] = {0, 1, 0, 0};
    struct Case {
        int line;
        DWORD type;
        const void* data;
        bool inSystemFolder;   // else only in the words (and current) folder
        const wchar_t* script;
        DWORD prompts;
    } cases[] = {
        {__LINE__, REG_DWORD, &off, true, L"0", 0},
        {__LINE__, REG_SZ, L"0", true, L"0", 0},   // a text "0" is off, not a nonzero number
        {__LINE__, REG_SZ, L"01", true, L"1", 1},  // a longer text is read whole, and protects
        {__LINE__, REG_BINARY, binaryOn, true, L"7", 1},   // an unusual yes closes all the same
        // A look-alike where the bare name would be searched never runs.
        {__LINE__, REG_DWORD, &on, false, L"0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        SetText(kRecordKey, L"Script", c.script);
        SetValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword", c.type, c.data,
                 c.type == REG_SZ ? DWORD(2 * wcslen(static_cast<const wchar_t*>(c.data)) + 2) : 4);
        DeleteFileW(SystemPath(L"password.cpl").c_str());
        ASSERT_TRUE(Place(c.inSystemFolder ? SystemPath(L"password.cpl") : wordsW + L"\\PASSWORD.CPL"));
        ASSERT_TRUE(Start(L"/s"));
        HWND window = WaitForSaverWindow();
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(WaitExit(20000), 0u);
        Finish();
        EXPECT_EQ(RecordNumber(L"VerifyCalls"), c.prompts);
        if (c.prompts) EXPECT_EQ(RecordNumber(L"VerifyOwner"), reinterpret_cast<uintptr_t>(window));
        if (c.prompts) EXPECT_EQ(RecordText(L"VerifyFrom"), SystemPath(L"password.cpl"));
    }
}

TEST_F(PasswordProcess, ARefusedPasswordKeepsTheSaverAndHoldsOffTheNextPrompt)
{
    const DWORD on = 1;
    SetValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"ScreenSaveUsePassword", REG_DWORD, &on, 4);
    ASSERT_TRUE(Place(SystemPath(L"password.cpl")));
    // Refused, with the close asked again at once; later accepted.
    SetText(kRecordKey, L"Script", L"r1");
    ASSERT_TRUE(Start(L"/s"));
    HWND window = WaitForSaverWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(RecordNumber(L"VerifyCalls"), 1u);
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(20000), 0u);
    EXPECT_EQ(RecordNumber(L"VerifyCalls"), 2u);
}

TEST_F(PasswordProcess, ChangeAsksOnlyTheSystemsComponentForTheSaverPasswordOverTheOwner)
{
    ASSERT_TRUE(SetMprAside());
    HWND owner = CreateHostWindow(200, 100);
    for (bool inSystemFolder : {true, false}) {
        SCOPED_TRACE(inSystemFolder);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRecordKey);
        DeleteFileW(SystemPath(L"mpr.dll").c_str());
        ASSERT_TRUE(Place(inSystemFolder ? SystemPath(L"mpr.dll") : wordsW + L"\\MPR.DLL"));
        ASSERT_TRUE(Start(L"/a " + std::to_wstring(reinterpret_cast<uintptr_t>(owner))));
        EXPECT_EQ(WaitExit(20000), 0u);
        Finish();
        EXPECT_EQ(RecordNumber(L"ChangeCalls"), inSystemFolder ? 1u : 0u);
        if (!inSystemFolder) continue;
        EXPECT_EQ(RecordText(L"Provider"), L"SCRSAVE");   // and the last two arguments 0
        EXPECT_EQ(RecordNumber(L"ChangeOwner"), reinterpret_cast<uintptr_t>(owner));
        EXPECT_EQ(RecordText(L"ChangeFrom"), SystemPath(L"mpr.dll"));
    }
    DestroyWindow(owner);
}
