#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/settings_lists.h"
#include "saver/settings/store_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
const wchar_t kKeyPath[] = L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\";
// "ＭＳ ゴシック" and "ＭＳ 明朝"
const char kGothic[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
const char kMincho[] = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9";

struct RawValue {
    LONG result;
    DWORD type;
    std::vector<BYTE> data;
};

RawValue ReadRaw(const wchar_t* name)
{
    RawValue v = {ERROR_FILE_NOT_FOUND, REG_NONE, {}};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    v.result = RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size);
    if (v.result == ERROR_SUCCESS) {
        v.data.resize(size);
        v.result = RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size);
        v.data.resize(size);
    }
    RegCloseKey(key);
    return v;
}

// The stored text as Shift-JIS; the stored terminator must be there.
std::string StoredText(const wchar_t* name)
{
    RawValue v = ReadRaw(name);
    EXPECT_EQ(v.result, ERROR_SUCCESS) << name;
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    size_t units = v.data.size() / sizeof(wchar_t);
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(v.data.data());
    EXPECT_TRUE(units > 0 && wide[units - 1] == L'\0') << "terminator not stored";
    char narrow[512];
    if (units == 0 || NarrowTo932(wide, static_cast<int>(units - 1), narrow, sizeof narrow) < 0) return "?";
    return narrow;
}

DWORD StoredNumber(const wchar_t* name)
{
    RawValue v = ReadRaw(name);
    EXPECT_EQ(v.result, ERROR_SUCCESS);
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(v.data.size(), 4u);
    DWORD n = 0;
    if (v.data.size() == 4) std::memcpy(&n, v.data.data(), 4);
    return n;
}

void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    SetRegistryValue(HKEY_CURRENT_USER, kKeyPath, name, type, data, size);
}

void LoadAll()
{
    GetIniSettings();
    GetIniSettings2(nullptr);
    GetIniSettings3(nullptr);
    GetIniSettings4(nullptr);
    GetIniSettings5(nullptr);
    GetIniSettings6(nullptr);
}

// Rubbish in every settings field, so that a loader that skips a field
// shows it.
void ScrambleSettings() { std::memset(&g.settings, 0x5A, sizeof g.settings); }

std::vector<uint32_t> Table(const uint32_t* t, int n) { return std::vector<uint32_t>(t, t + n); }
std::vector<std::string> FontNames()
{
    std::vector<std::string> names;
    for (int i = 0; i < g.settings.FontCount; ++i) names.push_back(g.settings.Font[i]);
    return names;
}

struct SettingsStoreTest : testing::Test {
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
    }
    void TearDown() override { DeleteSettingsKey(); }
};
}

TEST_F(SettingsStoreTest, MachineWithoutTheKeyGetsEveryDefault)
{
    ScrambleSettings();
    LoadAll();

    // Reading creates neither key.
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &probe), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &probe), ERROR_SUCCESS);

    const SettingsFields& s = g.settings;
    EXPECT_STREQ(s.FilePath, L"");
    EXPECT_EQ(s.TickInterval, 100);
    EXPECT_EQ(s.Display, 100u);
    EXPECT_EQ(s.AVIPlay, 2u);
    EXPECT_EQ(s.Opening, 1u);
    EXPECT_EQ(s.AllMonitors, 1u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.COM[i], 0u) << "COM" << i + 1;
    EXPECT_EQ(s.UsedCOMNoRun, 0u);
    EXPECT_EQ(s.FadeInOut, 0u);
    ASSERT_EQ(s.FadeCount, 15);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(s.EnabledTransitions[i], i);
    EXPECT_STREQ(s.FadeCodes, "000102030405060708091011121314");
    EXPECT_EQ(Table(s.Color, s.ColorCount), (std::vector<uint32_t>{65280, 16777215, 16776960, 65535, 255}));
    EXPECT_EQ(FontNames(), (std::vector<std::string>{kGothic, kMincho}));
    EXPECT_EQ(s.Vertical, 0u);
    EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{0}));
}

TEST_F(SettingsStoreTest, EveryStoreReadsBackAsStored)
{
    // "C:\ミルカナ – Zoë": stored as typed, though it has no Shift-JIS form.
    const wchar_t path[] = L"C:\\\x30DF\x30EB\x30AB\x30CA \x2013 Zo\xEB";
    SettingsFields& s = g.settings;
    lstrcpyW(s.FilePath, path);
    s.Display = 250;
    s.AVIPlay = 3;
    s.Opening = 7;        // a flag: stored as 1
    s.AllMonitors = 0;
    s.FadeCount = 3;
    std::strcpy(s.FadeCodes, "140307");
    s.FadeInOut = 1;
    s.ColorCount = 2;
    s.Color[0] = 255;
    s.Color[1] = 0xFFFFFFFFu;
    s.FontCount = 2;
    std::strcpy(s.Font[0], kMincho);
    std::strcpy(s.Font[1], "Arial");
    s.Vertical = 9;       // a flag: stored as 1
    s.BackCount = 2;
    s.Back[0] = 0;
    s.Back[1] = 16711680;
    s.COM[1] = 1;
    s.COM[3] = 2;
    s.UsedCOMNoRun = 1;

    EXPECT_EQ(StoreMainSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreFadeSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreFontSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreColorSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreBackSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreLimitSettings(), ERROR_SUCCESS);

    // The registry holds the texts and numbers in their stated forms.
    RawValue folder = ReadRaw(L"FilePath");
    EXPECT_EQ(folder.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(folder.data.data()), folder.data.size() / 2),
              std::wstring(path, sizeof path / 2));
    HKEY machine = nullptr;   // the stores never touch the machine's defaults
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &machine), ERROR_SUCCESS);
    EXPECT_EQ(StoredNumber(L"Display"), 250u);
    EXPECT_EQ(StoredNumber(L"AVIPlay"), 3u);
    EXPECT_EQ(StoredNumber(L"Opening"), 1u);
    EXPECT_EQ(StoredNumber(L"AllMonitors"), 0u);
    EXPECT_EQ(StoredText(L"Fade"), "14,03,07,");
    EXPECT_EQ(StoredNumber(L"FadeInOut"), 1u);
    EXPECT_EQ(StoredText(L"Font"), std::string(kMincho) + ",Arial,");
    EXPECT_EQ(StoredNumber(L"Vertical"), 1u);
    EXPECT_EQ(StoredText(L"Color"), "255,-1,");
    EXPECT_EQ(StoredText(L"Back"), "0,16711680,");
    EXPECT_EQ(StoredNumber(L"COM1"), 0u);
    EXPECT_EQ(StoredNumber(L"COM2"), 1u);
    EXPECT_EQ(StoredNumber(L"COM3"), 0u);
    EXPECT_EQ(StoredNumber(L"COM4"), 1u);
    EXPECT_EQ(StoredNumber(L"UsedCOMNoRun"), 1u);

    ScrambleSettings();
    LoadAll();
    EXPECT_STREQ(s.FilePath, path);
    EXPECT_EQ(s.Display, 250u);
    EXPECT_EQ(s.AVIPlay, 3u);
    EXPECT_EQ(s.Opening, 1u);
    EXPECT_EQ(s.AllMonitors, 0u);
    ASSERT_EQ(s.FadeCount, 3);
    EXPECT_STREQ(s.FadeCodes, "140307");
    EXPECT_EQ(s.EnabledTransitions[0], 14);
    EXPECT_EQ(s.FadeInOut, 1u);
    EXPECT_EQ(FontNames(), (std::vector<std::string>{kMincho, "Arial"}));
    EXPECT_EQ(s.Vertical, 1u);
    EXPECT_EQ(Table(s.Color, s.ColorCount), (std::vector<uint32_t>{255, 0xFFFFFFFFu}));
    EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{0, 16711680}));
    EXPECT_EQ(s.COM[0], 0u);
    EXPECT_EQ(s.COM[1], 1u);
    EXPECT_EQ(s.COM[3], 1u);
    EXPECT_EQ(s.UsedCOMNoRun, 1u);

    // Empty lists are stored as the empty text and load as their fallbacks.
    s.FadeCount = 0;
    s.FontCount = 0;
    s.ColorCount = 0;
    s.BackCount = 0;
    EXPECT_EQ(StoreFadeSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreFontSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreColorSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoreBackSettings(), ERROR_SUCCESS);
    EXPECT_EQ(StoredText(L"Fade"), "");
    EXPECT_EQ(StoredText(L"Font"), "");
    EXPECT_EQ(StoredText(L"Color"), "");
    EXPECT_EQ(StoredText(L"Back"), "");
    ScrambleSettings();
    LoadAll();
    EXPECT_EQ(s.FadeCount, 1);
    EXPECT_STREQ(s.FadeCodes, "00");
    EXPECT_EQ(FontNames(), (std::vector<std::string>{kGothic, kMincho}));
    EXPECT_EQ(Table(s.Color, s.ColorCount), (std::vector<uint32_t>{16777215}));
    EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{0}));
    // The fallbacks are not written back.
    EXPECT_EQ(StoredText(L"Fade"), "");
}

TEST_F(SettingsStoreTest, WronglyTypedValuesReadAsTheirDefaults)
{
    const wchar_t five[] = L"5";
    const DWORD four = 4;
    const uint64_t eight = 8;
    const WORD two = 2;
    const DWORD big = 0x01020304;
    SetRaw(L"Display", REG_SZ, five, sizeof five);
    // Four bytes of binary data are a number, as older tools write them.
    SetRaw(L"AVIPlay", REG_BINARY, &four, sizeof four);
    SetRaw(L"COM2", REG_BINARY, &big, sizeof big);
    SetRaw(L"COM3", REG_BINARY, &eight, sizeof eight);   // other sizes are not
    SetRaw(L"COM4", REG_BINARY, &two, sizeof two);
    SetRaw(L"Opening", REG_QWORD, &eight, sizeof eight);
    SetRaw(L"COM1", REG_DWORD, &two, sizeof two);   // a DWORD of two bytes
    SetRaw(L"UsedCOMNoRun", REG_DWORD_BIG_ENDIAN, &four, sizeof four);
    SetRaw(L"FadeInOut", REG_BINARY, &four, 3);
    SetRaw(L"FilePath", REG_BINARY, "C:\\x", 5);
    SetRaw(L"Fade", REG_DWORD, &four, sizeof four);
    const wchar_t multi[] = L"255,\0\0";
    SetRaw(L"Color", REG_MULTI_SZ, multi, sizeof multi);
    SetRaw(L"Font", REG_DWORD, &four, sizeof four);
    SetRaw(L"Back", REG_BINARY, "255,", 4);

    ScrambleSettings();
    LoadAll();
    const SettingsFields& s = g.settings;
    EXPECT_EQ(s.Display, 100u);
    EXPECT_EQ(s.AVIPlay, 4u);
    EXPECT_EQ(s.COM[1], 0x01020304u);
    EXPECT_EQ(s.COM[2], 0u);
    EXPECT_EQ(s.COM[3], 0u);
    EXPECT_EQ(s.Opening, 1u);
    EXPECT_EQ(s.COM[0], 0u);
    EXPECT_EQ(s.UsedCOMNoRun, 0u);
    EXPECT_EQ(s.FadeInOut, 0u);
    EXPECT_STREQ(s.FilePath, L"");
    EXPECT_EQ(s.FadeCount, 15);
    EXPECT_EQ(s.ColorCount, 5);
    EXPECT_EQ(FontNames(), (std::vector<std::string>{kGothic, kMincho}));
    EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{0}));
}

TEST_F(SettingsStoreTest, NumbersAreTakenAsStored)
{
    SetSettingDword("AVIPlay", 7);
    SetSettingDword("Display", 0xFFFFFFFFu);
    SetSettingDword("Opening", 0);
    GetIniSettings();
    EXPECT_EQ(g.settings.AVIPlay, 7u);
    EXPECT_EQ(g.settings.Display, 0xFFFFFFFFu);
    EXPECT_EQ(g.settings.Opening, 0u);
}

TEST_F(SettingsStoreTest, TextsLongerThanTheirReaderReadAsMissing)
{
    // Lists count Shift-JIS bytes ("あ" is two), the folder UTF-16 units.
    std::string a258;
    for (int i = 0; i < 258; ++i) a258 += "\x82\xa0";
    std::string colours;
    for (int i = 0; i < 14; ++i) colours += "16777214,";   // 126 bytes
    std::string fonts;
    while (fonts.size() + 10 <= 199) fonts += "Face_____,";   // 19 names, 190 bytes
    fonts.resize(199, 'z');                                    // and a twentieth

    struct Case {
        int line;
        const char* name;
        std::string text;
        bool kept;
    } cases[] = {
        {__LINE__, "FilePath", "C:\\" + std::string(256, 'a'), true},    // 259 characters
        {__LINE__, "FilePath", "C:\\" + std::string(257, 'a'), false},   // 260
        {__LINE__, "FilePath", a258 + "x", true},                          // 259 characters, 517 bytes
        {__LINE__, "FilePath", a258 + "\x82\xa0\x82\xa0", false},         // 260
        {__LINE__, "Color", colours + "1", true},
        {__LINE__, "Color", colours + "1,", false},
        {__LINE__, "Font", fonts, true},
        {__LINE__, "Font", fonts + "z", false},
    };
    for (const Case& c : cases) {
        DeleteSettingsKey();
        SetSettingText(c.name, c.text.c_str());
        ScrambleSettings();
        LoadAll();
        const SettingsFields& s = g.settings;
        if (std::strcmp(c.name, "FilePath") == 0) {
            EXPECT_EQ(Narrow932(s.FilePath), c.kept ? c.text : "") << "line " << c.line;
        } else if (std::strcmp(c.name, "Color") == 0) {
            EXPECT_EQ(s.ColorCount, c.kept ? 15 : 5) << "line " << c.line;
            if (!c.kept) EXPECT_EQ(s.Color[0], 65280u) << "line " << c.line;
        } else {
            EXPECT_EQ(s.FontCount, c.kept ? 20 : 2) << "line " << c.line;
            if (!c.kept) EXPECT_STREQ(s.Font[0], kGothic) << "line " << c.line;
        }
    }
}

TEST_F(SettingsStoreTest, ListsLongerThanTheTablesStopAtTheLastSlot)
{
    std::string ones, fades, fonts;
    for (int i = 0; i < 40; ++i) ones += std::to_string(i % 9 + 1) + ",";   // 80 bytes
    for (int i = 0; i < 20; ++i) fades += (i % 2 ? "03," : "11,");          // 60 bytes
    for (int i = 0; i < 35; ++i) fonts += "F" + std::to_string(i) + ",";
    SetSettingText("Color", ones.c_str());
    SetSettingText("Back", ones.c_str());
    SetSettingText("Fade", fades.c_str());
    SetSettingText("Font", fonts.c_str());
    ScrambleSettings();
    LoadAll();
    const SettingsFields& s = g.settings;
    EXPECT_EQ(s.ColorCount, kMaxTextColors);
    EXPECT_EQ(s.Color[kMaxTextColors - 1], 5u);   // the 32nd entry
    EXPECT_EQ(s.BackCount, kMaxBackColors);
    EXPECT_EQ(s.FadeCount, kMaxFadeEntries);
    EXPECT_EQ(std::strlen(s.FadeCodes), 30u);
    EXPECT_EQ(s.FontCount, kMaxFonts);
    EXPECT_STREQ(s.Font[kMaxFonts - 1], "F29");
}

TEST_F(SettingsStoreTest, StoreRefusesATextItsLoaderWouldDiscard)
{
    SetSettingText("Back", "255,");
    g.settings.BackCount = 30;
    for (int i = 0; i < 30; ++i) g.settings.Back[i] = 16777215;
    EXPECT_EQ(StoreBackSettings(), ERROR_INSUFFICIENT_BUFFER);
    // What was stored before stays, rather than a text that would load as black.
    EXPECT_EQ(StoredText(L"Back"), "255,");

    g.settings.FontCount = 19;
    for (int i = 0; i < 19; ++i) {
        std::memset(g.settings.Font[i], 'x', 29);
        g.settings.Font[i][29] = '\0';
    }
    EXPECT_NE(StoreFontSettings(), ERROR_SUCCESS);
    EXPECT_EQ(ReadRaw(L"Font").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(SettingsStoreTest, FailedStoreIsReportedAndLoadersStillRead)
{
    SetSettingDword("Display", 321);
    SetSettingText("Back", "255,");
    ASSERT_TRUE(SetSettingsKeyAccess(KEY_READ | WRITE_DAC | DELETE));
    HKEY probe = nullptr;
    LONG writable = RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_SET_VALUE, &probe);
    if (writable == ERROR_SUCCESS) {
        RegCloseKey(probe);
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        GTEST_SKIP() << "this Wine grants write access in spite of the key's DACL, so no store can be made to fail";
    }

    g.settings.Display = 5;
    g.settings.BackCount = 1;
    g.settings.Back[0] = 65535;
    EXPECT_NE(StoreMainSettings(), ERROR_SUCCESS);
    EXPECT_NE(StoreBackSettings(), ERROR_SUCCESS);
    EXPECT_NE(StoreFadeSettings(), ERROR_SUCCESS);
    EXPECT_NE(StoreFontSettings(), ERROR_SUCCESS);
    EXPECT_NE(StoreColorSettings(), ERROR_SUCCESS);
    EXPECT_NE(StoreLimitSettings(), ERROR_SUCCESS);

    // The key cannot be opened for writing; the loaders fall back to
    // reading it and still find what an administrator stored.
    ScrambleSettings();
    LoadAll();
    EXPECT_EQ(g.settings.Display, 321u);
    EXPECT_EQ(Table(g.settings.Back, g.settings.BackCount), (std::vector<uint32_t>{255}));
    EXPECT_EQ(g.settings.AVIPlay, 2u);   // absent: its default

    EXPECT_TRUE(SetSettingsKeyAccess(KEY_ALL_ACCESS));
}

TEST_F(SettingsStoreTest, UserValuesWinAndTheMachineKeyFillsTheGaps)
{
    // Machine-wide defaults as the setup or an administrator leaves them.
    SetSettingText("FilePath", "C:\\machine", HKEY_LOCAL_MACHINE);
    SetSettingText("Back", "255,", HKEY_LOCAL_MACHINE);
    SetSettingText("Display", "7", HKEY_LOCAL_MACHINE);   // a text where a number belongs
    const SettingsFields& s = g.settings;
    // A user key that exists but is empty, then one that cannot be opened:
    // the machine's values either way; in neither, the default.
    for (DWORD access : {DWORD{KEY_ALL_ACCESS}, DWORD{0}}) {
        SetSettingText("Color", "1,");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKeyPath, L"Color");
        SetSettingsKeyAccess(access);
        ScrambleSettings();
        LoadAll();
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        EXPECT_STREQ(s.FilePath, L"C:\\machine");
        EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{255}));
        EXPECT_EQ(s.ColorCount, 5);
        EXPECT_EQ(s.Display, 100u);
    }
    // What the user stores wins, but a value of the wrong type there counts
    // as missing.
    const wchar_t mine[] = L"%SystemRoot%\\mine";   // expanded for the user who reads it
    SetRaw(L"FilePath", REG_EXPAND_SZ, mine, sizeof mine);
    SetSettingDword("Back", 1);
    ScrambleSettings();
    LoadAll();
    wchar_t expanded[MAX_PATH];
    ExpandEnvironmentStringsW(mine, expanded, MAX_PATH);
    EXPECT_STREQ(s.FilePath, expanded);
    EXPECT_NE(expanded[0], L'%');
    EXPECT_EQ(Table(s.Back, s.BackCount), (std::vector<uint32_t>{255}));

    // A folder one unit over the limit is refused whole, nothing written.
    std::fill(g.settings.FilePath, g.settings.FilePath + kFilePathChars, L'z');
    EXPECT_EQ(StoreMainSettings(), static_cast<LONG>(ERROR_INSUFFICIENT_BUFFER));
    g.settings.FilePath[kFilePathChars - 1] = L'\0';
    EXPECT_EQ(StoreMainSettings(), ERROR_SUCCESS);
    ScrambleSettings();
    LoadAll();
    EXPECT_EQ(std::wstring(s.FilePath), std::wstring(kFilePathChars - 1, L'z'));
}

namespace {
// One place's value in the precedence table: absent, or a type and data.
struct Cell {
    DWORD type;
    std::wstring text;
    DWORD number;
};
const Cell kNone = {REG_NONE, L"", 0};
Cell N(DWORD n) { return {REG_DWORD, L"", n}; }
Cell B(DWORD n) { return {REG_BINARY, L"", n}; }   // four bytes: a number in the settings key only
Cell S(const std::wstring& t) { return {REG_SZ, t, 0}; }
Cell X(const std::wstring& t) { return {REG_EXPAND_SZ, t, 0}; }

void Put(HKEY root, const wchar_t* path, const wchar_t* name, const Cell& c)
{
    if (c.type == REG_NONE) return;
    if (c.type == REG_DWORD || c.type == REG_BINARY) SetRegistryValue(root, path, name, c.type, &c.number, 4);
    else SetRegistryValue(root, path, name, c.type, c.text.c_str(), static_cast<DWORD>((c.text.size() + 1) * 2));
}

// The loaded field of a value, as text: lists joined by ",".
std::string Loaded(const std::string& name)
{
    const SettingsFields& s = g.settings;
    auto join = [](const uint32_t* t, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += std::to_string(t[i]) + ",";
        return out;
    };
    if (name == "FilePath") return Narrow932(s.FilePath);
    if (name == "Fade") return s.FadeCodes;
    if (name == "Color") return join(s.Color, s.ColorCount);
    if (name == "Back") return join(s.Back, s.BackCount);
    if (name == "Font") {
        std::string out;
        for (const std::string& f : FontNames()) out += f + ",";
        return out;
    }
    if (name == "AllowTextGenDLL") return s.TextGenRefused ? "0" : "1";
    const std::pair<const char*, uint32_t> numbers[] = {
        {"Display", s.Display}, {"AVIPlay", s.AVIPlay}, {"Opening", s.Opening}, {"AllMonitors", s.AllMonitors},
        {"COM3", s.COM[2]}, {"UsedCOMNoRun", s.UsedCOMNoRun}, {"FadeInOut", s.FadeInOut},
        {"Vertical", s.Vertical}};
    for (const auto& n : numbers)
        if (name == n.first) return std::to_string(n.second);
    return "?";
}
}

// Each row fills the four places, from the machine's policy to the
// machine's key, and names what the loaders take; a value of the wrong
// type or out of range in a policy falls through to the next place.
TEST_F(SettingsStoreTest, PoliciesComeFirstAndOnlyWhenTheyHoldAValidValue)
{
    SetEnvironmentVariableW(L"KELMORA_POLICY_DIR", L"C:\\pol");
    std::wstring fonts20;
    for (int i = 0; i < 20; ++i) fonts20 += L"F" + std::to_wstring(i) + L",";
    const struct {
        int line;
        const char* name;
        Cell machinePolicy, userPolicy, user, machine;
        std::string loaded;
    } rows[] = {
        {__LINE__, "Display", N(7), N(8), N(9), N(10), "7"},
        {__LINE__, "Display", kNone, N(8), N(9), N(10), "8"},
        {__LINE__, "Display", kNone, kNone, N(9), N(10), "9"},
        {__LINE__, "Display", kNone, kNone, kNone, N(10), "10"},
        {__LINE__, "Display", kNone, kNone, kNone, kNone, "100"},
        {__LINE__, "Display", N(864000), N(8), N(9), N(10), "864000"},
        {__LINE__, "Display", N(864001), N(0), B(9), N(10), "9"},
        {__LINE__, "Display", S(L"7"), B(8), kNone, N(10), "10"},
        {__LINE__, "AVIPlay", N(5), N(1), N(3), kNone, "1"},
        {__LINE__, "AVIPlay", N(0), N(4), kNone, kNone, "4"},
        {__LINE__, "Opening", N(2), N(0), N(1), kNone, "0"},
        {__LINE__, "AllMonitors", N(0), N(1), N(1), kNone, "0"},
        {__LINE__, "COM3", kNone, N(1), N(0), kNone, "1"},
        {__LINE__, "UsedCOMNoRun", B(1), N(2), N(0), N(1), "0"},
        {__LINE__, "FadeInOut", N(1), kNone, N(0), kNone, "1"},
        {__LINE__, "Vertical", kNone, N(2), N(0), N(1), "0"},
        {__LINE__, "Vertical", kNone, kNone, kNone, N(1), "1"},
        {__LINE__, "FilePath", X(L"%KELMORA_POLICY_DIR%\\w"), S(L"C:\\up"), S(L"C:\\me"), kNone, "C:\\pol\\w"},
        {__LINE__, "FilePath", S(L""), S(L"C:\\up"), S(L"C:\\me"), kNone, "C:\\up"},
        {__LINE__, "FilePath", S(L"C:\\" + std::wstring(257, L'a')), N(1), X(L"C:\\me"), S(L"C:\\m"), "C:\\me"},
        {__LINE__, "Fade", S(L"14,03,"), S(L"01,"), S(L"07,"), kNone, "1403"},
        {__LINE__, "Fade", S(L"03,03,"), S(L"15,"), S(L"07,"), kNone, "07"},
        {__LINE__, "Fade", X(L"02,"), S(L",,"), kNone, S(L"05,"), "05"},
        {__LINE__, "Color", S(L"16777215,255,"), S(L"1,"), S(L"2,"), kNone, "16777215,255,"},
        {__LINE__, "Color", S(L"16777216,"), S(L" 255,"), S(L"2,"), kNone, "2,"},
        {__LINE__, "Back", S(L"0,"), S(L"1,"), S(L"2,"), kNone, "0,"},
        {__LINE__, "Back", S(L"-1,"), S(L"007,"), kNone, kNone, "0,"},
        {__LINE__, "Font", S(fonts20), S(L"Arial,"), S(L"Me,"), kNone, "Arial,"},
        {__LINE__, "AllowTextGenDLL", N(2), N(0), kNone, kNone, "0"},
        {__LINE__, "AllowTextGenDLL", kNone, kNone, N(0), N(0), "1"},   // only a policy refuses
    };
    for (const auto& r : rows) {
        DeleteSettingsKey();
        const std::wstring name(r.name, r.name + std::strlen(r.name));
        Put(HKEY_LOCAL_MACHINE, PolicyKeyPath, name.c_str(), r.machinePolicy);
        Put(HKEY_CURRENT_USER, PolicyKeyPath, name.c_str(), r.userPolicy);
        Put(HKEY_CURRENT_USER, kKeyPath, name.c_str(), r.user);
        Put(HKEY_LOCAL_MACHINE, kKeyPath, name.c_str(), r.machine);
        ScrambleSettings();
        LoadAll();
        EXPECT_EQ(Loaded(r.name), r.loaded) << "line " << r.line;
    }
    SetEnvironmentVariableW(L"KELMORA_POLICY_DIR", nullptr);
}
