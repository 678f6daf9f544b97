// The limits and TextGenDLL pages as real modal dialogs, driven from a
// timer on the test thread as a user works them; the registry and the
// test plug-in's record tell what happened.
#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/common/plugin_host_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/pages_win.h"
#include "saver/settings/store_win.h"
#include "saver/show/cycle_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
// "Em040 ルミナフTextGenDLLがロードできませんでした"
const char kEm040[] = "Em040 \x83\x8b\x83\x7e\x83\x69\x83\x74TextGenDLL\x82\xaa\x83\x8d\x81\x5b\x83\x68\x82\xc5\x82\xab"
                      "\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";
// "Em044 このルミナフTextGenDLLには設定用ﾌﾟﾛｾｼﾞｬはありません"
const char kEm044[] = "Em044 \x82\xb1\x82\xcc\x83\x8b\x83\x7e\x83\x69\x83\x74TextGenDLL\x82\xc9\x82\xcd\x90\xdd\x92\xe8"
                      "\x97\x70\xcc\xdf\xdb\xbe\xbc\xde\xac\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "Em045 ルミナフTextGenDLLが応答しなくなりました"
const char kEm045[] = "Em045 \x83\x8b\x83\x7e\x83\x69\x83\x74TextGenDLL\x82\xaa\x89\x9e\x93\x9a\x82\xb5\x82\xc8\x82\xad"
                      "\x82\xc8\x82\xe8\x82\xdc\x82\xb5\x82\xbd";
const DWORD kMissing = 0xBADu;

struct PageRun {
    std::function<void(HWND)> drive;
    HWND page;
    int ticks;
} *running;

BOOL CALLBACK FindShownDialog(HWND w, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// Hands the page to the script once it shows; a page still open after
// 10 s is ended with -2, so a fault fails the case instead of hanging.
void CALLBACK DrivePage(HWND, UINT, UINT_PTR, DWORD)
{
    PageRun* run = running;
    if (run == nullptr) return;
    if (++run->ticks > 500 && run->page != nullptr) EndDialog(run->page, -2);
    if (run->page != nullptr) return;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&run->page));
    if (run->page != nullptr) run->drive(run->page);
}

// Opens a page as the main dialog does and gives its result.
INT_PTR RunPage(int resource, DLGPROC proc, const std::function<void(HWND)>& drive)
{
    PageRun run = {drive, nullptr, 0};
    running = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, DrivePage);
    INT_PTR result = DialogBoxParamW(g.instance, MAKEINTRESOURCEW(resource), nullptr, proc, 0);
    KillTimer(nullptr, timer);
    running = nullptr;
    return result;
}

void Click(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }

DWORD StoredDword(const char* name)
{
    HKEY key = nullptr;
    DWORD value = kMissing, size = sizeof value;
    if (RegOpenKeyRead932(HKEY_CURRENT_USER, SettingsKeyPath, &key) != ERROR_SUCCESS) return value;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

const char* const kLimitNames[5] = {"COM1", "COM2", "COM3", "COM4", "UsedCOMNoRun"};
const int kLimitBoxes[5] = {IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4, IDC_USEDCOMNORUN};

struct PortAndPluginPageTest : testing::Test {
    void SetUp() override
    {
        FreshSaverState();
        LoadStartupStrings();   // the caption of the message boxes
        DeleteSettingsKey();
    }
    void TearDown() override
    {
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        DeleteSettingsKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KelmoraTest");
    }
};
}

TEST_F(PortAndPluginPageTest, LimitsShowTheStoredPortsAndStoreTheBoxesOnlyOnOk)
{
    enum Close { Ok, Cancel, Escape };
    struct Case {
        int line;
        DWORD before[5];
        std::vector<int> clicks;   // of the five boxes
        Close close;
        DWORD after[5];
    } cases[] = {
        {__LINE__, {kMissing, kMissing, kMissing, kMissing, kMissing}, {2}, Ok, {0, 0, 1, 0, 0}},
        // Any nonzero stored flag shows checked and is written back as 1.
        {__LINE__, {1, 7, 1, 1, 1}, {0, 4}, Ok, {0, 1, 1, 1, 0}},
        {__LINE__, {kMissing, 0, 0, 1, 0}, {0, 3}, Cancel, {kMissing, 0, 0, 1, 0}},
        {__LINE__, {kMissing, 0, 0, 1, 0}, {1}, Escape, {kMissing, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteSettingsKey();
        for (int i = 0; i < 5; ++i)
            if (c.before[i] != kMissing) SetSettingDword(kLimitNames[i], c.before[i]);
        UINT shown[5] = {};
        INT_PTR result = RunPage(IDD_LIMITS_PAGE, LimitsPageProc, [&](HWND page) {
            for (int i = 0; i < 5; ++i) shown[i] = IsDlgButtonChecked(page, kLimitBoxes[i]);
            for (int box : c.clicks) Click(page, kLimitBoxes[box]);
            if (c.close == Escape)
                PostMessageW(GetDlgItem(page, IDC_COM1), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                Click(page, c.close == Ok ? IDOK : IDCANCEL);
        });
        EXPECT_EQ(result, c.close == Ok ? 1 : 0);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(shown[i] == BST_CHECKED, c.before[i] != kMissing && c.before[i] != 0) << kLimitNames[i];
            EXPECT_EQ(StoredDword(kLimitNames[i]), c.after[i]) << kLimitNames[i];
        }
    }
}

TEST_F(PortAndPluginPageTest, LimitsThatCannotBeStoredAreReportedAndThePageStays)
{
    SetSettingDword("COM2", 1);
    ASSERT_TRUE(SetSettingsKeyAccess(KEY_READ | WRITE_DAC | DELETE));
    SeenBox box;
    bool stayed = false;
    RunPage(IDD_LIMITS_PAGE, LimitsPageProc, [&](HWND page) {
        Click(page, IDC_COM3);
        box = WatchMessageBox([&] { Click(page, IDOK); });
        stayed = IsWindowVisible(page) != 0;
        Click(page, IDCANCEL);
    });
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, std::string(g.titleText));
    EXPECT_TRUE(stayed);
    SetSettingsKeyAccess(KEY_ALL_ACCESS);
    EXPECT_EQ(StoredDword("COM3"), kMissing);
}

TEST_F(PortAndPluginPageTest, TextGenListsTheFoldersLibrariesAndOpensTheDoubleClickedOnesSettings)
{
    std::string folder = MakeTempFolder("tgpage");
    std::wstring built = BesideTests(L"testplugins\\");
    // A plug-in whose full path passes 99 bytes is reached all the same.
    ASSERT_LT(folder.size(), 90u);
    std::string deep = folder + "\\" + std::string(110 - folder.size() - 1, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
    for (const std::string& to : {folder, deep})
        ASSERT_TRUE(CopyFileW((built + L"cfg_plugin.dll").c_str(), std::wstring(to.begin(), to.end()).append(L"\\cfg_plugin.dll").c_str(), FALSE));
    // A library without a settings procedure, and a ".dll" that is none.
    ASSERT_TRUE(CopyFileW((built + L"pw_standin.dll").c_str(), std::wstring(folder.begin(), folder.end()).append(L"\\Bare.DLL").c_str(), FALSE));
    WriteFileBytes(folder + "\\broken.dll", "MZ but no library at all");
    // One whose settings take its process down, one way or another.
    ASSERT_TRUE(CopyFileW((built + L"tg_hostile.dll").c_str(), std::wstring(folder.begin(), folder.end()).append(L"\\Hostile.DLL").c_str(), FALSE));
    WriteFileBytes(folder + "\\saying.txt", "not a plug-in");
    // No folder chosen yet must not list the root of the current drive.
    const std::string none, inRoot = "\\kelmora_root_probe.dll";
    WriteFileBytes(inRoot, "MZ");

    struct Case {
        int line;
        const std::string* in;
        int item;              // -1: nothing selected
        const char* message;   // the box it brings, or nullptr
        bool configured;
        const char* hostile = nullptr;   // what Hostile.DLL does
        bool refused = false;            // a policy refuses plug-ins
    } cases[] = {
        {__LINE__, &folder, 2, nullptr, true},
        {__LINE__, &folder, 0, kEm044, false},
        {__LINE__, &folder, 1, kEm040, false},
        {__LINE__, &folder, -1, nullptr, false},
        {__LINE__, &deep, 0, nullptr, true},
        {__LINE__, &none, 0, nullptr, false},
        // Named as the show names them: only a failed load is Em040.
        {__LINE__, &folder, 3, kEm045, false, "sfault"},
        {__LINE__, &folder, 3, kEm045, false, "exit"},
        {__LINE__, &folder, 3, kEm045, false, "hang"},
        {__LINE__, &folder, 3, kEm040, false, "lfault"},
        // A dialog the user keeps open beyond the answer limit is no hang.
        {__LINE__, &folder, 3, nullptr, false, "dialog"},
        {__LINE__, &folder, 2, nullptr, false, nullptr, true},
    };
    SetPluginAnswerLimit(2000);
    SetEnvironmentVariableA("TG_SLEEP", "4000");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KelmoraTest");
        DeleteSettingsKey();
        if (c.refused) SetPolicyDword(HKEY_LOCAL_MACHINE, L"AllowTextGenDLL", 0);
        Widen932(*c.in, g.settings.FilePath);
        SetEnvironmentVariableA("TG_HOSTILE", c.hostile);
        std::vector<std::string> listed;
        HWND page = nullptr;
        SeenBox box;
        bool closedByOthers = false;
        bool enabledAfter = false;
        bool settingsButton = false, reasonShown = false;
        INT_PTR result = RunPage(IDD_TEXTGEN_PAGE, TextGenPageProc, [&](HWND shown) {
            page = shown;
            HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
            char name[600];
            for (int i = 0; ListBoxText932(list, i, name, sizeof name) >= 0; ++i) listed.push_back(name);
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(c.item), 0);
            box = WatchMessageBox([&] {
                SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TEXTGEN_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
            });
            enabledAfter = IsWindowEnabled(page) != 0;
            settingsButton = IsWindowEnabled(GetDlgItem(page, IDC_TEXTGEN_SETTINGS)) != 0;
            reasonShown = (GetWindowLongW(GetDlgItem(page, IDC_TEXTGEN_REFUSED), GWL_STYLE) & WS_VISIBLE) != 0;
            // Only "戻る" closes the page: not Esc, not the close box.
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            SendMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            closedByOthers = !IsWindowVisible(page);
            Click(page, IDOK);
        });
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(closedByOthers);
        if (c.in == &folder)
            EXPECT_EQ(listed, (std::vector<std::string>{"Bare.DLL", "broken.dll", "cfg_plugin.dll", "Hostile.DLL"}));
        if (c.in == &none) EXPECT_EQ(listed, std::vector<std::string>{});
        EXPECT_TRUE(enabledAfter);   // whatever the plug-in did
        EXPECT_EQ(settingsButton, !c.refused);
        EXPECT_EQ(reasonShown, c.refused);
        EXPECT_EQ(box.found, c.message != nullptr);
        if (c.message) EXPECT_TRUE(HasText(box, c.message));
        if (c.message) EXPECT_EQ(box.caption, std::string(g.titleText));
        unsigned long long owner = 0;
        DWORD size = sizeof owner;
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\KelmoraTest\\Plugin", L"ConfigOwner", RRF_RT_QWORD, nullptr, &owner, &size);
        EXPECT_EQ(owner, c.configured ? reinterpret_cast<uintptr_t>(page) : 0u);   // the page owns its dialog
        DWORD ownerEnabled = 7;
        size = sizeof ownerEnabled;
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\KelmoraTest\\Plugin", L"OwnerEnabled", RRF_RT_REG_DWORD, nullptr, &ownerEnabled, &size);
        EXPECT_EQ(ownerEnabled, c.configured ? 0u : 7u);   // and takes no input meanwhile
        EXPECT_EQ(GetModuleHandleA("cfg_plugin.dll"), nullptr);   // never in the page's process
        EXPECT_TRUE(ProcessesEnd(ProcessesNamed(kOwnHost), 5000));
    }
    SetEnvironmentVariableA("TG_HOSTILE", nullptr);
    SetEnvironmentVariableA("TG_SLEEP", nullptr);
    SetPluginAnswerLimit(0);
    DeleteFileA(inRoot.c_str());
    RemoveTree(folder);
}
