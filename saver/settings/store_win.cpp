// The settings keys: six loaders that fill g.settings from the user's key,
// then the machine's defaults, and the stores that the configuration pages
// call, which write the user's key only.
#include "saver/settings/store_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/setting_values.h"
#include "saver/settings/settings_lists.h"

#include <cstring>

const char SettingsKeyPath[] = "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\";
const wchar_t PolicyKeyPath[] = L"SOFTWARE\\Policies\\Oxbellow\\Kelmora\\Main";

namespace {
const char* const kPortNames[4] = {"COM1", "COM2", "COM3", "COM4"};

// Characters before the terminator, kFilePathChars when there is none.
size_t FolderLength(const wchar_t* folder)
{
    size_t n = 0;
    while (n < kFilePathChars && folder[n] != L'\0') ++n;
    return n;
}

// What the loaders read, in this order: the machine's policies, the user's
// policies, the user's own key, then the machine-wide defaults an
// administrator (or the setup) put there. None is created by reading; a
// key that is missing or cannot be opened is null, and a value found in
// none gives its default.
struct Keys {
    HKEY machinePolicy;
    HKEY userPolicy;
    HKEY user;
    HKEY machine;
};

// The policy keys lie outside the registry's 32-bit redirection on
// Windows, so the 32-bit saver asks for the 64-bit view to read the very
// key Group Policy wrote, whichever view this Windows (or Wine) keeps it in.
HKEY OpenPolicy(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, PolicyKeyPath, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

Keys OpenPolicies()
{
    Keys keys = {OpenPolicy(HKEY_LOCAL_MACHINE), OpenPolicy(HKEY_CURRENT_USER), nullptr, nullptr};
    return keys;
}

Keys OpenForLoading()
{
    Keys keys = OpenPolicies();
    RegOpenKeyRead932(HKEY_CURRENT_USER, SettingsKeyPath, &keys.user);
    RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &keys.machine);
    return keys;
}

void Close(HKEY key)
{
    if (key != nullptr) RegCloseKey(key);
}

void Close(const Keys& keys)
{
    Close(keys.machinePolicy);
    Close(keys.userPolicy);
    Close(keys.user);
    Close(keys.machine);
}

// Value names are ASCII.
struct WideName {
    wchar_t text[32];
};

WideName Widen(const char* name)
{
    WideName w = {};
    for (size_t i = 0; i + 1 < sizeof w.text / sizeof w.text[0] && name[i] != '\0'; ++i)
        w.text[i] = static_cast<unsigned char>(name[i]);
    return w;
}

// A policy is written by a template that knows the types: anything other
// than a REG_DWORD of four bytes within the value's range is not a setting.
bool PolicyNumberIn(HKEY key, const SettingValue& value, uint32_t* out)
{
    if (key == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExW(key, Widen(value.name).text, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data || !PolicyNumberAccepted(value, data))
        return false;
    *out = data;
    return true;
}

bool PolicyTextIn(HKEY key, const SettingValue& value, char* buffer, DWORD size)
{
    if (key == nullptr) return false;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, Widen(value.name).text, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    return RegQueryString932(key, value.name, buffer, size) == ERROR_SUCCESS && PolicyListAccepted(value, buffer);
}

bool PolicyNumber(const Keys& keys, const char* name, uint32_t* out)
{
    const SettingValue* value = FindSettingValue(name);
    return value != nullptr &&
           (PolicyNumberIn(keys.machinePolicy, *value, out) || PolicyNumberIn(keys.userPolicy, *value, out));
}

bool PolicyText(const Keys& keys, const char* name, char* buffer, DWORD size)
{
    const SettingValue* value = FindSettingValue(name);
    return value != nullptr &&
           (PolicyTextIn(keys.machinePolicy, *value, buffer, size) || PolicyTextIn(keys.userPolicy, *value, buffer, size));
}

// A value the user's key holds but that cannot be read (another type, too
// long) counts as missing there: the machine's default is then taken,
// which is what the user had before storing anything.
uint32_t ReadNumber(const Keys& keys, const char* name, uint32_t fallback)
{
    uint32_t managed = 0;
    if (PolicyNumber(keys, name, &managed)) return managed;
    DWORD value = 0;
    if (RegQueryDword932(keys.user, name, &value) == ERROR_SUCCESS) return value;
    if (RegQueryDword932(keys.machine, name, &value) == ERROR_SUCCESS) return value;
    return fallback;
}

// nullptr when neither key holds a readable text of at most size - 1
// bytes; the caller then takes its default text.
const char* ReadText(const Keys& keys, const char* name, char* buffer, DWORD size)
{
    if (PolicyText(keys, name, buffer, size)) return buffer;
    if (RegQueryString932(keys.user, name, buffer, size) == ERROR_SUCCESS) return buffer;
    if (RegQueryString932(keys.machine, name, buffer, size) == ERROR_SUCCESS) return buffer;
    return nullptr;
}

// The words folder stays UTF-16 from the registry on: a folder whose name
// has no Shift-JIS form works as typed.
bool ReadPathFrom(HKEY key, wchar_t* out, DWORD chars)
{
    out[0] = L'\0';
    if (key == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, L"FilePath", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes > (chars + 1) * sizeof(wchar_t)) return false;
    wchar_t local[kFilePathChars + 2] = {};
    DWORD got = sizeof local - sizeof(wchar_t);
    if (RegQueryValueExW(key, L"FilePath", nullptr, &type, reinterpret_cast<BYTE*>(local), &got) != ERROR_SUCCESS)
        return false;
    // The stored data may or may not carry its terminator; stop at the first.
    size_t length = 0;
    while (length < got / sizeof(wchar_t) && local[length] != L'\0') ++length;
    if (length >= chars) return false;
    local[length] = L'\0';
    if (type == REG_EXPAND_SZ) {
        // A default for every user may name each one's own folder
        // ("%USERPROFILE%\Pictures"); the limit holds for the expanded path.
        wchar_t expanded[kFilePathChars + 1];
        DWORD need = ExpandEnvironmentStringsW(local, expanded, kFilePathChars + 1);
        if (need == 0 || need > chars) return false;
        std::memcpy(local, expanded, need * sizeof(wchar_t));
        length = need - 1;
    }
    std::memcpy(out, local, (length + 1) * sizeof(wchar_t));
    return true;
}

// An empty folder from a policy names nothing to show: not a setting.
bool PolicyPath(const Keys& keys, wchar_t* out)
{
    const HKEY policies[2] = {keys.machinePolicy, keys.userPolicy};
    for (HKEY key : policies)
        if (ReadPathFrom(key, out, kFilePathChars) && out[0] != L'\0') return true;
    out[0] = L'\0';
    return false;
}

void ReadPath(const Keys& keys)
{
    static_assert(sizeof g.settings.FilePath / sizeof(wchar_t) == kFilePathChars, "one folder size");
    if (PolicyPath(keys, g.settings.FilePath)) return;
    if (ReadPathFrom(keys.user, g.settings.FilePath, kFilePathChars)) return;
    if (ReadPathFrom(keys.machine, g.settings.FilePath, kFilePathChars)) return;
    g.settings.FilePath[0] = L'\0';
}

void ReadPorts(const Keys& keys)
{
    for (int i = 0; i < 4; ++i) g.settings.COM[i] = ReadNumber(keys, kPortNames[i], 0);
    g.settings.UsedCOMNoRun = ReadNumber(keys, "UsedCOMNoRun", 0);
}

// A group of writes into the user's key (the first store creates it); the
// first failure is what the store reports, but the remaining values are
// still tried so that as much of the group as possible is kept.
// A value a policy sets is left as the user's key has it: the user's own
// choice comes back if the policy goes.
struct Writer {
    HKEY key;
    LONG result;
    Keys policies;
};

bool Managed(const Keys& policies, const char* name);

LONG BeginWrite(Writer* w)
{
    w->key = nullptr;
    w->policies = Keys{};
    w->result = RegCreateKey932(HKEY_CURRENT_USER, SettingsKeyPath, &w->key);
    if (w->result != ERROR_SUCCESS) w->key = nullptr;
    // Opened only for a write that goes on to EndWrite, which closes them.
    else w->policies = OpenPolicies();
    return w->result;
}

void WriteNumber(Writer* w, const char* name, uint32_t value)
{
    if (Managed(w->policies, name)) return;
    LONG r = RegSetDword932(w->key, name, value);
    if (w->result == ERROR_SUCCESS) w->result = r;
}

void WriteText(Writer* w, const char* name, const char* text)
{
    if (Managed(w->policies, name)) return;
    LONG r = RegSetString932(w->key, name, text);
    if (w->result == ERROR_SUCCESS) w->result = r;
}

void WriteFolder(Writer* w, const wchar_t* folder)
{
    if (Managed(w->policies, "FilePath")) return;
    DWORD bytes = static_cast<DWORD>((FolderLength(folder) + 1) * sizeof(wchar_t));
    LONG r = w->key ? RegSetValueExW(w->key, L"FilePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), bytes)
                    : ERROR_INVALID_HANDLE;
    if (w->result == ERROR_SUCCESS) w->result = r;
}

// Flags are kept as 0 or 1 whatever nonzero value the field holds.
void WriteFlag(Writer* w, const char* name, uint32_t value) { WriteNumber(w, name, value != 0 ? 1 : 0); }

LONG EndWrite(Writer* w)
{
    Close(w->key);
    Close(w->policies);
    w->key = nullptr;
    return w->result;
}

bool Managed(const Keys& policies, const char* name)
{
    const SettingValue* value = FindSettingValue(name);
    if (value == nullptr) return false;
    uint32_t number = 0;
    char text[kFontTextSize];
    wchar_t folder[kFilePathChars];
    switch (value->kind) {
    case kFolderSetting:
        return PolicyPath(policies, folder);
    case kFadeListSetting:
    case kColourListSetting:
    case kFontListSetting:
        return PolicyText(policies, name, text, sizeof text);
    default:
        return PolicyNumber(policies, name, &number);
    }
}

LONG FormatFailure(int code)
{
    return code == kListTooLong ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_DATA;
}

// A list value, and the flag of its page when one is named: refused before
// the key is touched when the loader could not read the text back.
LONG StoreListText(const char* name, const char* text, int formatted, const char* flagName = nullptr,
                   uint32_t flag = 0)
{
    if (formatted < 0) return FormatFailure(formatted);
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    WriteText(&w, name, text);
    if (flagName != nullptr) WriteFlag(&w, flagName, flag);
    return EndWrite(&w);
}

int CountWithin(int count, int capacity)
{
    if (count < 0) return 0;
    return count < capacity ? count : capacity;
}
}

extern "C" {
void WINAPI GetIniSettings()
{
    g.settings.TickInterval = 100;
    Keys key = OpenForLoading();
    ReadPath(key);
    g.settings.Display = ReadNumber(key, "Display", 100);
    g.settings.AVIPlay = ReadNumber(key, "AVIPlay", 2);
    ReadPorts(key);
    g.settings.Opening = ReadNumber(key, "Opening", 1);
    g.settings.AllMonitors = ReadNumber(key, "AllMonitors", 1);
    Close(key);
    g.settings.TextGenRefused = TextGenAllowed() ? 0 : 1;
}

void WINAPI GetIniSettings2(HWND)
{
    Keys key = OpenForLoading();
    char text[kListTextSize];
    const char* fade = ReadText(key, "Fade", text, sizeof text);
    g.settings.FadeInOut = ReadNumber(key, "FadeInOut", 0);
    Close(key);
    LoadFadeList(fade ? fade : kDefaultFadeText, &g.settings);
}

void WINAPI GetIniSettings3(HWND)
{
    Keys key = OpenForLoading();
    char text[kListTextSize];
    const char* colours = ReadText(key, "Color", text, sizeof text);
    Close(key);
    LoadColorList(colours ? colours : kDefaultColorText, &g.settings);
}

void WINAPI GetIniSettings4(HWND)
{
    Keys key = OpenForLoading();
    char text[kFontTextSize];
    const char* fonts = ReadText(key, "Font", text, sizeof text);
    g.settings.Vertical = ReadNumber(key, "Vertical", 0);
    Close(key);
    LoadFontList(fonts, &g.settings);   // missing or empty: the two default faces
}

void WINAPI GetIniSettings5(HWND)
{
    Keys key = OpenForLoading();
    ReadPorts(key);
    Close(key);
}

void WINAPI GetIniSettings6(HWND)
{
    Keys key = OpenForLoading();
    char text[kListTextSize];
    const char* colours = ReadText(key, "Back", text, sizeof text);
    Close(key);
    LoadBackList(colours ? colours : kDefaultBackText, &g.settings);
}
}

LONG StoreMainSettings(bool withFolder)
{
    if (withFolder && FolderLength(g.settings.FilePath) >= kFilePathChars) return ERROR_INSUFFICIENT_BUFFER;
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    if (withFolder) WriteFolder(&w, g.settings.FilePath);
    WriteNumber(&w, "Display", g.settings.Display);
    WriteNumber(&w, "AVIPlay", g.settings.AVIPlay);
    WriteFlag(&w, "Opening", g.settings.Opening);
    WriteFlag(&w, "AllMonitors", g.settings.AllMonitors);
    return EndWrite(&w);
}

LONG StoreFadeSettings()
{
    char text[kListTextSize];
    int formatted = FormatFadeList(g.settings.FadeCodes, CountWithin(g.settings.FadeCount, kMaxFadeEntries), text,
                                   sizeof text, kListTextSize - 1);
    return StoreListText("Fade", text, formatted, "FadeInOut", g.settings.FadeInOut);
}

LONG StoreFontSettings()
{
    char text[kFontTextSize];
    int formatted = FormatFontList(g.settings.Font, CountWithin(g.settings.FontCount, kMaxFonts), text, sizeof text,
                                   kFontTextSize - 1);
    return StoreListText("Font", text, formatted, "Vertical", g.settings.Vertical);
}

LONG StoreColorSettings()
{
    char text[kListTextSize];
    int formatted = FormatColourList(g.settings.Color, CountWithin(g.settings.ColorCount, kMaxTextColors), text,
                                     sizeof text, kListTextSize - 1);
    return StoreListText("Color", text, formatted);
}

LONG StoreBackSettings()
{
    char text[kListTextSize];
    int formatted = FormatColourList(g.settings.Back, CountWithin(g.settings.BackCount, kMaxBackColors), text,
                                     sizeof text, kListTextSize - 1);
    return StoreListText("Back", text, formatted);
}

LONG StoreLimitSettings()
{
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    for (int i = 0; i < 4; ++i) WriteFlag(&w, kPortNames[i], g.settings.COM[i]);
    WriteFlag(&w, "UsedCOMNoRun", g.settings.UsedCOMNoRun);
    return EndWrite(&w);
}

bool SettingManaged(const char* name)
{
    Keys policies = OpenPolicies();
    bool managed = Managed(policies, name);
    Close(policies);
    return managed;
}

bool AnySettingManaged()
{
    Keys policies = OpenPolicies();
    bool any = false;
    for (int i = 0; i < kSettingValueCount && !any; ++i)
        any = kSettingValues[i].kind != kSwitchSetting && Managed(policies, kSettingValues[i].name);
    Close(policies);
    return any;
}

// Only a policy can refuse plug-ins: a value in the user's own key would
// let the very user it protects against switch them back on.
bool TextGenAllowed()
{
    Keys policies = OpenPolicies();
    uint32_t allowed = 1;
    PolicyNumber(policies, "AllowTextGenDLL", &allowed);
    Close(policies);
    return allowed != 0;
}
