// The configuration dialog from its own resource, driven as a user would:
// what it shows on opening, what OK stores, what it refuses.
#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/configure_win.h"
#include "saver/settings/store_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <string>

namespace {
// "ミルカナScreenSaverの設定"
const char kCaption[] = "\x83\x7e\x83\x8b\x83\x4a\x83\x69ScreenSaver\x82\xcc\x90\xdd\x92\xe8";
// "Em050 AVI同時再生数は４までです"
const char kEm050[] = "Em050 AVI\x93\xaf\x8e\x9e\x8d\xc4\x90\xb6\x90\x94\x82\xcd\x82\x53\x82\xdc\x82\xc5\x82\xc5\x82\xb7";
// "Em053 ミルカナファイルのパスは259文字までです"
const char kEm053[] = "Em053 \x83\x7e\x83\x8b\x83\x4a\x83\x69\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x83\x70\x83\x58"
                      "\x82\xcd" "259" "\x95\xb6\x8e\x9a\x82\xdc\x82\xc5\x82\xc5\x82\xb7";
// A folder with Japanese in its name: "C:\ことわざ"
const char kJapaneseFolder[] = "C:\\\x82\xb1\x82\xc6\x82\xed\x82\xb4";

std::string ItemText(HWND dialog, int id)
{
    char text[512];
    GetDlgItemText932(dialog, id, text, sizeof text);
    return text;
}

void SetItemText(HWND dialog, int id, const std::string& text) { SetDlgItemText932(dialog, id, text.c_str()); }

struct ConfigureTest : testing::Test {
    HWND dialog = nullptr;
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
    }
    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        PumpMessages();
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        DeleteSettingsKey();
    }
    void Open()
    {
        dialog = CreateDialogParamW(g.instance, MAKEINTRESOURCEW(IDD_CONFIGURE), nullptr, ScreenSaverConfigureDialog, 0);
        ASSERT_NE(dialog, nullptr);
        PumpMessages();
    }
    // OK as the user presses it, with the message box it may bring.
    SeenBox PressOk()
    {
        return WatchMessageBox([&] { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    }
    // What the loaders find in the registry now.
    void Reload()
    {
        std::memset(&g.settings, 0xA5, sizeof g.settings);
        GetIniSettings();
    }
};
}

TEST_F(ConfigureTest, OpensWithTheStoredSettings)
{
    SetSettingText("FilePath", kJapaneseFolder);
    SetSettingDword("Display", 42);
    SetSettingDword("AVIPlay", 3);
    SetSettingDword("Opening", 0);
    SetSettingDword("AllMonitors", 0);
    Open();
    wchar_t caption[64];
    GetWindowTextW(dialog, caption, 64);
    char narrow[128];
    NarrowTo932(caption, -1, narrow, sizeof narrow);
    EXPECT_STREQ(narrow, kCaption);
    EXPECT_EQ(ItemText(dialog, IDC_FILEPATH), kJapaneseFolder);
    EXPECT_EQ(ItemText(dialog, IDC_DISPLAY), "42");
    EXPECT_EQ(ItemText(dialog, IDC_AVIPLAY), "3");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OPENING), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_ALLMONITORS), static_cast<UINT>(BST_UNCHECKED));
    // The error boxes of the pages take their caption from the title.
    EXPECT_STRNE(g.titleText, "");
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_MANAGED_NOTE), GWL_STYLE) & WS_VISIBLE);   // nothing managed
}

TEST_F(ConfigureTest, OkStoresWhatWasTyped)
{
    Open();   // a machine without settings: the defaults show
    EXPECT_EQ(ItemText(dialog, IDC_DISPLAY), "100");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OPENING), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_ALLMONITORS), static_cast<UINT>(BST_CHECKED));

    struct Case {
        int line;
        const char* folder;
        const char* display;
        const char* videos;
        bool opening;
        std::string storedFolder;
        uint32_t storedDisplay;
        uint32_t storedVideos;
    } cases[] = {
        {__LINE__, kJapaneseFolder, "250", "4", false, kJapaneseFolder, 250, 4},
        {__LINE__, "D:\\words", "letters", "1", true, "D:\\words", 0, 1},   // not a number: 0
        // A folder of 259 characters, the longest, is kept whole.
        {__LINE__, "", "7", "2", true, "C:\\" + std::string(256, 'p'), 7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string folder = c.folder[0] ? std::string(c.folder) : c.storedFolder;
        SetItemText(dialog, IDC_FILEPATH, folder);
        SetItemText(dialog, IDC_DISPLAY, c.display);
        SetItemText(dialog, IDC_AVIPLAY, c.videos);
        CheckDlgButton(dialog, IDC_OPENING, c.opening ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_ALLMONITORS, c.opening ? BST_UNCHECKED : BST_CHECKED);
        SeenBox box = PressOk();
        EXPECT_FALSE(box.found);
        Reload();
        EXPECT_EQ(Narrow932(g.settings.FilePath), c.storedFolder);
        EXPECT_EQ(g.settings.Display, c.storedDisplay);
        EXPECT_EQ(g.settings.AVIPlay, c.storedVideos);
        EXPECT_EQ(g.settings.Opening, c.opening ? 1u : 0u);
        EXPECT_EQ(g.settings.AllMonitors, c.opening ? 0u : 1u);
        HKEY machine = nullptr;   // the user's key only
        EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main", 0, KEY_READ,
                                &machine), ERROR_SUCCESS);
    }
    // A folder one character longer is refused as it stands, never cut.
    const std::wstring over = L"C:\\Zo\xEB" + std::wstring(254, L'p');
    SetDlgItemTextW(dialog, IDC_FILEPATH, over.c_str());
    SetItemText(dialog, IDC_DISPLAY, "8");
    SeenBox box = PressOk();
    EXPECT_TRUE(HasText(box, kEm053));
    EXPECT_TRUE(IsWindow(dialog));
    Reload();
    EXPECT_EQ(g.settings.Display, 7u);
    wchar_t typed[300];
    GetDlgItemTextW(dialog, IDC_FILEPATH, typed, 300);
    EXPECT_EQ(std::wstring(typed), over);
    SetDlgItemTextW(dialog, IDC_FILEPATH, over.c_str() + 1);   // 259: stored as typed, "ë" and all
    EXPECT_FALSE(PressOk().found);
    Reload();
    EXPECT_EQ(std::wstring(g.settings.FilePath), over.substr(1));
}

// A folder stored to name each user's own is kept as stored, type and
// text, by an OK that leaves it alone; a changed one is stored as typed.
TEST_F(ConfigureTest, OkKeepsAnExpandableFolderUntilItIsChanged)
{
    const wchar_t mine[] = L"%TEMP%\\words";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main", &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"FilePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(mine), sizeof mine);
    Open();
    for (const wchar_t* typed : {static_cast<const wchar_t*>(nullptr), L"D:\\words"}) {
        if (typed) SetDlgItemTextW(dialog, IDC_FILEPATH, typed);
        SetItemText(dialog, IDC_DISPLAY, typed ? "9" : "8");
        EXPECT_FALSE(PressOk().found);
        wchar_t stored[64] = L"";
        DWORD type = REG_NONE, bytes = sizeof stored;
        EXPECT_EQ(RegQueryValueExW(key, L"FilePath", nullptr, &type, reinterpret_cast<BYTE*>(stored), &bytes), 0);
        EXPECT_EQ(type, static_cast<DWORD>(typed ? REG_SZ : REG_EXPAND_SZ));
        EXPECT_STREQ(stored, typed ? typed : mine);
        Reload();
        EXPECT_EQ(g.settings.Display, typed ? 9u : 8u);
    }
    RegCloseKey(key);
}

TEST_F(ConfigureTest, VideoCountOutsideOneToFourIsRefusedAndNothingStored)
{
    SetSettingDword("Display", 55);
    SetSettingDword("AVIPlay", 2);
    Open();
    const char* refused[] = {"0", "5", "-1", "many", "", "4294967295"};
    for (const char* videos : refused) {
        SCOPED_TRACE(videos);
        SetItemText(dialog, IDC_DISPLAY, "999");
        SetItemText(dialog, IDC_AVIPLAY, videos);
        SeenBox box = PressOk();
        ASSERT_TRUE(box.found);
        EXPECT_TRUE(HasText(box, kEm050));
        EXPECT_EQ(box.caption, std::string(g.titleText));
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(ItemText(dialog, IDC_AVIPLAY), videos);   // the user's text stays
        Reload();
        EXPECT_EQ(g.settings.Display, 55u);
        EXPECT_EQ(g.settings.AVIPlay, 2u);
    }
}

TEST_F(ConfigureTest, SettingsThatCannotBeKeptAreReportedAndTheDialogStays)
{
    SetSettingDword("Display", 55);
    ASSERT_TRUE(SetSettingsKeyAccess(KEY_READ | WRITE_DAC | DELETE));
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\", 0, KEY_SET_VALUE,
                      &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this Wine grants write access in spite of the key's access list";
    }
    Open();
    EXPECT_EQ(ItemText(dialog, IDC_DISPLAY), "55");   // read all the same
    SetItemText(dialog, IDC_DISPLAY, "77");
    SetItemText(dialog, IDC_AVIPLAY, "3");
    SeenBox box = PressOk();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, std::string(g.titleText));
    EXPECT_TRUE(IsWindow(dialog));
    SetSettingsKeyAccess(KEY_ALL_ACCESS);
    Reload();
    EXPECT_EQ(g.settings.Display, 55u);
}

TEST_F(ConfigureTest, CancelStoresNothing)
{
    SetSettingDword("Display", 55);
    Open();
    SetItemText(dialog, IDC_DISPLAY, "12");
    SetItemText(dialog, IDC_AVIPLAY, "1");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Reload();
    EXPECT_EQ(g.settings.Display, 55u);
}

// Two values a policy sets, one of them from the user's policy: shown as the
// policy has them and greyed, with the note; OK stores the rest and leaves
// the user's own values of those two as they were.
TEST_F(ConfigureTest, ManagedSettingsShowThePolicyGreyedAndOkLeavesThemAlone)
{
    SetSettingDword("Display", 55);
    SetPolicyDword(HKEY_LOCAL_MACHINE, L"Display", 300);
    SetPolicyDword(HKEY_CURRENT_USER, L"Opening", 0);
    Open();
    EXPECT_EQ(ItemText(dialog, IDC_DISPLAY), "300");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_OPENING), static_cast<UINT>(BST_UNCHECKED));
    for (int id : {IDC_DISPLAY, IDC_OPENING, IDC_AVIPLAY, IDC_FILEPATH})
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, id == IDC_AVIPLAY || id == IDC_FILEPATH) << id;
    // "一部の設定は管理者によって管理されています", shown
    EXPECT_EQ(ItemText(dialog, IDC_MANAGED_NOTE), "\x88\xea\x95\x94\x82\xcc\x90\xdd\x92\xe8\x82\xcd\x8a\xc7\x97\x9d"
                                                 "\x8e\xd2\x82\xc9\x82\xe6\x82\xc1\x82\xc4\x8a\xc7\x97\x9d\x82\xb3\x82\xea"
                                                 "\x82\xc4\x82\xa2\x82\xdc\x82\xb7");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_MANAGED_NOTE), GWL_STYLE) & WS_VISIBLE);
    SetItemText(dialog, IDC_AVIPLAY, "3");
    EXPECT_FALSE(PressOk().found);
    // The policies go; what the user had comes back.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteTreeW(root, L"SOFTWARE\\Policies\\Oxbellow");
    Reload();
    EXPECT_EQ(g.settings.Display, 55u);
    EXPECT_EQ(g.settings.Opening, 1u);   // never stored
    EXPECT_EQ(g.settings.AVIPlay, 3u);
}
