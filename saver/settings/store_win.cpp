// The settings key in HKEY_LOCAL_MACHINE: six loaders that fill
// g.settings, and the stores that the configuration pages call.
#include "saver/settings/store_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/settings/settings_lists.h"

#include <cstring>

const char SettingsKeyPath[] = "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\";

namespace {
const char* const kPortNames[4] = {"COM1", "COM2", "COM3", "COM4"};

// Every loader and store opens the key this way, so the first one to run
// creates it. An ordinary user cannot create or write under
// HKEY_LOCAL_MACHINE; the loaders then still read what an administrator
// stored. nullptr means neither worked, and every read gives its default.
HKEY OpenForLoading()
{
    HKEY key = nullptr;
    if (RegCreateKey932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key) == ERROR_SUCCESS) return key;
    if (RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key) == ERROR_SUCCESS) return key;
    return nullptr;
}

void Close(HKEY key)
{
    if (key != nullptr) RegCloseKey(key);
}

uint32_t ReadNumber(HKEY key, const char* name, uint32_t fallback)
{
    DWORD value = 0;
    return RegQueryDword932(key, name, &value) == ERROR_SUCCESS ? value : fallback;
}

// nullptr when the value is missing, of another type or longer than the
// loader's buffer; the caller then takes its default text.
const char* ReadText(HKEY key, const char* name, char* buffer, DWORD size)
{
    return RegQueryString932(key, name, buffer, size) == ERROR_SUCCESS ? buffer : nullptr;
}

void ReadPorts(HKEY key)
{
    for (int i = 0; i < 4; ++i) g.settings.COM[i] = ReadNumber(key, kPortNames[i], 0);
    g.settings.UsedCOMNoRun = ReadNumber(key, "UsedCOMNoRun", 0);
}

// A group of writes into the key; the first failure is what the store
// reports, but the remaining values are still tried so that as much of
// the group as possible is kept.
struct Writer {
    HKEY key;
    LONG result;
};

LONG BeginWrite(Writer* w)
{
    w->key = nullptr;
    w->result = RegCreateKey932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &w->key);
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
    HKEY key = OpenForLoading();
    if (ReadText(key, "FilePath", g.settings.FilePath, sizeof g.settings.FilePath) == nullptr)
        g.settings.FilePath[0] = '\0';
    g.settings.Display = ReadNumber(key, "Display", 100);
    g.settings.AVIPlay = ReadNumber(key, "AVIPlay", 2);
    ReadPorts(key);
    g.settings.Opening = ReadNumber(key, "Opening", 1);
    g.settings.AllMonitors = ReadNumber(key, "AllMonitors", 1);
    Close(key);
}

void WINAPI GetIniSettings2(HWND)
{
    HKEY key = OpenForLoading();
    char text[kListTextSize];
    const char* fade = ReadText(key, "Fade", text, sizeof text);
    g.settings.FadeInOut = ReadNumber(key, "FadeInOut", 0);
    Close(key);
    LoadFadeList(fade ? fade : kDefaultFadeText, &g.settings);
}

void WINAPI GetIniSettings3(HWND)
{
    HKEY key = OpenForLoading();
    char text[kListTextSize];
    const char* colours = ReadText(key, "Color", text, sizeof text);
    Close(key);
    LoadColorList(colours ? colours : kDefaultColorText, &g.settings);
}

void WINAPI GetIniSettings4(HWND)
{
    HKEY key = OpenForLoading();
    char text[kFontTextSize];
    const char* fonts = ReadText(key, "Font", text, sizeof text);
    Close(key);
    LoadFontList(fonts, &g.settings);   // missing or empty: the two default faces
}

void WINAPI GetIniSettings5(HWND)
{
    HKEY key = OpenForLoading();
    ReadPorts(key);
    Close(key);
}

void WINAPI GetIniSettings6(HWND)
{
    HKEY key = OpenForLoading();
    char text[kListTextSize];
    const char* colours = ReadText(key, "Back", text, sizeof text);
    Close(key);
    LoadBackList(colours ? colours : kDefaultBackText, &g.settings);
}
}

LONG StoreMainSettings()
{
    Writer w;
    if (BeginWrite(&w) != ERROR_SUCCESS) return w.result;
    char path[kFilePathSize];
    std::memcpy(path, g.settings.FilePath, sizeof path);
    path[sizeof path - 1] = '\0';
    WriteText(&w, "FilePath", path);
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
