// The settings keys: six loaders that fill g.settings from the user's key,
// then the machine's defaults, and the stores that the configuration pages
// call, which write the user's key only.
#include "saver/settings/store_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/settings_lists.h"

#include <cstring>

const char SettingsKeyPath[] = "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\";

namespace {
const char* const kPortNames[4] = {"COM1", "COM2", "COM3", "COM4"};

// Characters before the terminator, kFilePathChars when there is none.
size_t FolderLength(const wchar_t* folder)
{
    size_t n = 0;
    while (n < kFilePathChars && folder[n] != L'\0') ++n;
    return n;
}

// What the loaders read: the user's own key first, then the machine-wide
// defaults an administrator (or the setup) put there. Neither is created
// by reading; a key that is missing or cannot be opened is null, and a
// value found in neither gives its default.
struct Keys {
    HKEY user;
    HKEY machine;
};

Keys OpenForLoading()
{
    Keys keys;
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
    Close(keys.user);
    Close(keys.machine);
}

// A value the user's key holds but that cannot be read (another type, too
// long) counts as missing there: the machine's default is then taken,
// which is what the user had before storing anything.
uint32_t ReadNumber(const Keys& keys, const char* name, uint32_t fallback)
{
    DWORD value = 0;
    if (RegQueryDword932(keys.user, name, &value) == ERROR_SUCCESS) return value;
    if (RegQueryDword932(keys.machine, name, &value) == ERROR_SUCCESS) return value;
    return fallback;
}

// nullptr when neither key holds a readable text of at most size - 1
// bytes; the caller then takes its default text.
const char* ReadText(const Keys& keys, const char* name, char* buffer, DWORD size)
{
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

void ReadPath(const Keys& keys)
{
    static_assert(sizeof g.settings.FilePath / sizeof(wchar_t) == kFilePathChars, "one folder size");
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
struct Writer {
    HKEY key;
    LONG result;
};

LONG BeginWrite(Writer* w)
{
    w->key = nullptr;
    w->result = RegCreateKey932(HKEY_CURRENT_USER, SettingsKeyPath, &w->key);
    if (w->result != ERROR_SUCCESS) w->key = nullptr;
    return w->result;
}

void WriteNumber(Writer* w, const char* name, uint32_t value)
{
    LONG r = RegSetDword932(w->key, name, value);
    if (w->result == ERROR_SUCCESS) w->result = r;
}

void WriteText(Writer* w, const char* name, const char* text)
{
    LONG r = RegSetString932(w->key, name, text);
    if (w->result == ERROR_SUCCESS) w->result = r;
}

void WriteFolder(Writer* w, const wchar_t* folder)
{
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
    w->key = nullptr;
    return w->result;
}

LONG FormatFailure(int code)
{
    return code == kListTooLong ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_DATA;
}

// A list value written alone: refused before the key is touched when the
// loader could not read the text back.
LONG StoreListText(const char* name, const char* text, int formatted)
{
    if (formatted < 0) return FormatFailure(formatted);
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    WriteText(&w, name, text);
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
    if (formatted < 0) return FormatFailure(formatted);
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    WriteText(&w, "Fade", text);
    WriteFlag(&w, "FadeInOut", g.settings.FadeInOut);
    return EndWrite(&w);
}

LONG StoreFontSettings()
{
    char text[kFontTextSize];
    int formatted = FormatFontList(g.settings.Font, CountWithin(g.settings.FontCount, kMaxFonts), text, sizeof text,
                                   kFontTextSize - 1);
    return StoreListText("Font", text, formatted);
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
