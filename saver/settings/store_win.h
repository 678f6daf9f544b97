// Settings: the registry store with its loaders, and the configuration
// dialog with its pages, which store their own groups of values.
//
// The registry store of the settings.
#pragma once
#include <windows.h>

// Under HKEY_LOCAL_MACHINE.
extern const char SettingsKeyPath[];

// The loaders fill their group of g.settings; a value that is missing, of
// the wrong type or size, or too long for its reader gives its default.
// When the key cannot be opened for writing they read it as it stands.
extern "C" {
__declspec(dllexport) void WINAPI GetIniSettings();
__declspec(dllexport) void WINAPI GetIniSettings2(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings3(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings4(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings5(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings6(HWND window);
}

// Stores write the group's fields of g.settings into the key, in the order
// listed, and give ERROR_SUCCESS or the first failure, so that a page can
// tell the user the settings were not kept (an ordinary user cannot write
// under HKEY_LOCAL_MACHINE). Flags are written as 0 or 1.
// A list whose text the loader could not read back is not written at all:
// ERROR_INSUFFICIENT_BUFFER when it is longer than the loader reads (127
// bytes, 199 for Font), ERROR_INVALID_DATA for an entry that would not load
// as it is (a face name holding ",", a fade code outside 00..14).
LONG StoreMainSettings();     // FilePath, Display, AVIPlay, Opening, AllMonitors
LONG StoreFadeSettings();     // Fade (the FadeCount codes of FadeCodes), FadeInOut
LONG StoreFontSettings();     // Font (Font[0 .. FontCount-1]; empty slots left out)
LONG StoreColorSettings();    // Color (Color[0 .. ColorCount-1])
LONG StoreBackSettings();     // Back (Back[0 .. BackCount-1])
LONG StoreLimitSettings();    // COM1..COM4, UsedCOMNoRun
