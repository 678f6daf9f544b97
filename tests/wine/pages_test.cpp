// The limits and TextGenDLL pages as real modal dialogs, driven from a
// timer on the test thread the way a user works them: boxes clicked,
// buttons pressed, message boxes answered; the registry and the test
// plug-in's record tell what happened.
#include <gtest/gtest.h>

#include "common/text932_win.h"
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
const wchar_t kPluginRecord[] = L"Software\\KelmoraTest\\Plugin";

struct PageRun {
    std::function<void(HWND)> drive;
    HWND page;
    int ticks;
};
PageRun* running;

BOOL CALLBACK FindShownDialog(HWND w, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// Every 20 ms: hand the page to the script once it shows; a page the
// script leaves open (or that never shows) is ended after 10 s with -2,
// so a fault fails the case instead of hanging the run.
void CALLBACK DrivePage(HWND, UINT, UINT_PTR, DWORD)
{
    PageRun* run = running;
    if (run == nullptr) return;
    if (++run->ticks > 500) {
        if (run->page != nullptr && IsWindow(run->page)) EndDialog(run->page, -2);
        return;
    }
    if (run->page != nullptr) return;
    HWND page = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&page));
    if (page == nullptr) return;
    run->page = page;
    run->drive(page);
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

std::string Caption(HWND window)
{
    wchar_t wide[128] = L"";
    GetWindowTextW(window, wide, 128);
    char narrow[256];
    return NarrowTo932(wide, -1, narrow, sizeof narrow) < 0 ? "?" : narrow;
}

DWORD StoredDword(const char* name)
{
    HKEY key = nullptr;
    DWORD value = 0xBADu, size = sizeof value;
    if (RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    return value;
}

const char* const kLimitNames[5] = {"COM1", "COM2", "COM3", "COM4", "UsedCOMNoRun"};
const int kLimitBoxes[5] = {IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4, IDC_USEDCOMNORUN};

struct PageLimits : testing::Test {
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
    }
    void TearDown() override
    {
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        DeleteSettingsKey();
    }
};
}

TEST_F(PageLimits, ShowsTheStoredPortsAndStoresTheBoxesOnlyOnOk)
{
    enum Close { Ok, CancelButton, Escape, CloseBox };
    const DWORD kMissing = 0xBADu;
    struct Case {
        int line;
        DWORD before[5];          // kMissing: no value
        std::vector<int> clicks;  // indexes into the five boxes
        Close close;
        DWORD after[5];
    } cases[] = {
        {__LINE__, {kMissing, kMissing, kMissing, kMissing, kMissing}, {2}, Ok, {0, 0, 1, 0, 0}},
        // Any nonzero stored flag shows checked and is written back as 1.
        {__LINE__, {1, 7, 1, 1, 1}, {0, 4}, Ok, {0, 1, 1, 1, 0}},
        {__LINE__, {0, 0, 0, 1, 0}, {0, 3}, CancelButton, {0, 0, 0, 1, 0}},
        {__LINE__, {0, 0, 0, 1, 0}, {1}, Escape, {0, 0, 0, 1, 0}},
        {__LINE__, {0, 0, 0, 1, 0}, {4}, CloseBox, {0, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteSettingsKey();
        for (int i = 0; i < 5; ++i)
            if (c.before[i] != kMissing) SetSettingDword(kLimitNames[i], c.before[i]);
        std::string caption;
        UINT shown[5] = {};
        INT_PTR result = RunPage(IDD_LIMITS, LimitsPageProc, [&](HWND page) {
            caption = Caption(page);
            for (int i = 0; i < 5; ++i) shown[i] = IsDlgButtonChecked(page, kLimitBoxes[i]);
            for (int box : c.clicks) Click(page, kLimitBoxes[box]);
            if (c.close == Ok) Click(page, IDOK);
            if (c.close == CancelButton) Click(page, IDCANCEL);
            if (c.close == Escape) PostMessageW(GetDlgItem(page, IDC_COM1), WM_KEYDOWN, VK_ESCAPE, 0);
            if (c.close == CloseBox) SendMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(caption, "\x90\xa7\x8c\xc0\x90\xdd\x92\xe8");   // "制限設定"
        EXPECT_EQ(result, c.close == Ok ? 1 : 0);
        for (int i = 0; i < 5; ++i) {
            bool on = c.before[i] != kMissing && c.before[i] != 0;
            EXPECT_EQ(shown[i], on ? static_cast<UINT>(BST_CHECKED) : static_cast<UINT>(BST_UNCHECKED)) << kLimitNames[i];
            DWORD expected = c.after[i];
            if (c.close != Ok && c.before[i] == kMissing) expected = kMissing;   // nothing was written
            EXPECT_EQ(StoredDword(kLimitNames[i]), expected) << kLimitNames[i];
        }
    }
}

TEST_F(PageLimits, AStoreThatFailsIsReportedAndThePageStays)
{
    SetSettingDword("COM2", 1);
    ASSERT_TRUE(SetSettingsKeyAccess(KEY_READ | WRITE_DAC | DELETE));
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\", 0, KEY_SET_VALUE,
                      &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this Wine grants write access in spite of the key's access list";
    }
    SeenBox box;
    bool stayed = false;
    INT_PTR result = RunPage(IDD_LIMITS, LimitsPageProc, [&](HWND page) {
        Click(page, IDC_COM3);
        box = WatchMessageBox([&] { Click(page, IDOK); });
        stayed = IsWindow(page) && IsWindowVisible(page);
        Click(page, IDCANCEL);
    });
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, std::string(g.titleText));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, 0);
    SetSettingsKeyAccess(KEY_ALL_ACCESS);
    EXPECT_EQ(StoredDword("COM2"), 1u);
    EXPECT_EQ(StoredDword("COM3"), 0xBADu);
}

namespace {
std::string TestPluginPath(const char* name)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    char narrow[MAX_PATH * 2];
    NarrowTo932(self, -1, narrow, sizeof narrow);
    std::string path = narrow;
    return path.substr(0, path.find_last_of("\\/") + 1) + "testplugins\\" + name + ".dll";
}

bool CopyPlugin(const char* name, const std::string& to)
{
    Wide932 from, dest;
    WideFrom932(&from, TestPluginPath(name).c_str(), -1);
    WideFrom932(&dest, to.c_str(), -1);
    bool ok = CopyFileW(from.text, dest.text, FALSE) != 0;
    FreeWide932(&from);
    FreeWide932(&dest);
    return ok;
}

struct PluginRecord {
    DWORD calls;
    unsigned long long owner;
};

PluginRecord ReadPluginRecord()
{
    PluginRecord r = {0, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPluginRecord, 0, KEY_READ, &key) != ERROR_SUCCESS) return r;
    DWORD size = sizeof r.calls;
    RegQueryValueExW(key, L"ConfigCalls", nullptr, nullptr, reinterpret_cast<BYTE*>(&r.calls), &size);
    size = sizeof r.owner;
    RegQueryValueExW(key, L"ConfigOwner", nullptr, nullptr, reinterpret_cast<BYTE*>(&r.owner), &size);
    RegCloseKey(key);
    return r;
}

std::vector<std::string> ListedNames(HWND page)
{
    std::vector<std::string> names;
    HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char name[600];
        ListBoxText932(list, i, name, sizeof name);
        names.push_back(name);
    }
    return names;
}

struct PageTextGen : testing::Test {
    std::string folder;
    void SetUp() override
    {
        FreshSaverState();
        LoadStartupStrings();   // the caption of the message boxes
        RegDeleteTreeW(HKEY_CURRENT_USER, kPluginRecord);
        folder = MakeTempFolder("tgpage");
    }
    void TearDown() override
    {
        RemoveTree(folder);
        RegDeleteTreeW(HKEY_CURRENT_USER, kPluginRecord);
    }
};
}

TEST_F(PageTextGen, ListsTheFoldersLibrariesAndOpensTheDoubleClickedOnesSettings)
{
    ASSERT_TRUE(CopyPlugin("cfg_plugin", folder + "\\cfg_plugin.dll"));
    ASSERT_TRUE(CopyPlugin("cfg_noconfig", folder + "\\Bare.DLL"));
    WriteFileBytes(folder + "\\broken.dll", "MZ but no library at all");
    WriteFileBytes(folder + "\\saying.txt", "not a plug-in");
    // A plug-in whose full path passes 99 bytes is still reached.
    ASSERT_LT(folder.size(), 90u);
    std::string deep = folder + "\\" + std::string(110 - folder.size() - 1, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
    ASSERT_TRUE(CopyPlugin("cfg_plugin", deep + "\\cfg_plugin.dll"));
    ASSERT_GT(deep.size() + std::strlen("\\cfg_plugin.dll"), 99u);

    struct Case {
        int line;
        const std::string* in;
        const char* item;         // nullptr: nothing selected
        const char* message;      // the box it brings, or nullptr
        DWORD calls;              // settings calls seen so far
    } cases[] = {
        {__LINE__, &folder, "cfg_plugin.dll", nullptr, 1},
        {__LINE__, &folder, "Bare.DLL", kEm044, 1},
        {__LINE__, &folder, "broken.dll", kEm040, 1},
        {__LINE__, &folder, nullptr, nullptr, 1},
        {__LINE__, &deep, "cfg_plugin.dll", nullptr, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::strcpy(g.settings.FilePath, c.in->c_str());
        std::vector<std::string> listed;
        HWND shownPage = nullptr;
        SeenBox box;
        bool closedByOthers = false;
        INT_PTR result = RunPage(IDD_TEXTGEN, TextGenPageProc, [&](HWND page) {
            shownPage = page;
            listed = ListedNames(page);
            HWND list = GetDlgItem(page, IDC_TEXTGEN_LIST);
            LRESULT index = -1;
            for (size_t i = 0; c.item && i < listed.size(); ++i)
                if (listed[i] == c.item) index = static_cast<LRESULT>(i);
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            box = WatchMessageBox([&] {
                SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TEXTGEN_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
            });
            // Only "戻る" closes the page.
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            SendMessageW(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            PumpMessages();
            closedByOthers = !IsWindowVisible(page);
            Click(page, IDOK);
        });
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(closedByOthers);
        if (c.in == &folder) {
            std::vector<std::string> expected = {"Bare.DLL", "broken.dll", "cfg_plugin.dll"};
            EXPECT_EQ(listed, expected);
        }
        EXPECT_EQ(box.found, c.message != nullptr);
        if (c.message) {
            EXPECT_TRUE(HasText(box, c.message));
            EXPECT_EQ(box.caption, std::string(g.titleText));
        }
        PluginRecord record = ReadPluginRecord();
        EXPECT_EQ(record.calls, c.calls);
        if (c.item && c.message == nullptr)
            EXPECT_EQ(record.owner, reinterpret_cast<uintptr_t>(shownPage));   // the page owns its dialog
        // The library is let go again before the page goes on.
        EXPECT_EQ(GetModuleHandleA("cfg_plugin.dll"), nullptr);
    }
}

TEST_F(PageTextGen, AFolderWithoutLibrariesGivesAnEmptyList)
{
    const char* folders[] = {"", "C:\\no\\such\\folder"};
    for (const char* f : folders) {
        SCOPED_TRACE(f);
        std::strcpy(g.settings.FilePath, f);
        LRESULT count = -1;
        std::string caption;
        RunPage(IDD_TEXTGEN, TextGenPageProc, [&](HWND page) {
            caption = Caption(page);
            count = SendDlgItemMessageW(page, IDC_TEXTGEN_LIST, LB_GETCOUNT, 0, 0);
            Click(page, IDOK);
        });
        EXPECT_EQ(caption, "TextGenDLL\x82\xcc\x90\xdd\x92\xe8");   // "TextGenDLLの設定"
        EXPECT_EQ(count, 0);
    }
}
