// The registry store of the settings.
#pragma once
#include <windows.h>

extern const char SettingsKeyPath[];

extern "C" {
__declspec(dllexport) void WINAPI GetIniSettings();
__declspec(dllexport) void WINAPI GetIniSettings2(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings3(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings4(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings5(HWND window);
__declspec(dllexport) void WINAPI GetIniSettings6(HWND window);
}

// Stores: ERROR_SUCCESS, or the registry's failure code so that the page can
// tell the user the settings were not kept.
LONG StoreMainSettings();     // FilePath, Display, AVIPlay, Opening
LONG StoreFadeSettings();     // Fade, FadeInOut
LONG StoreFontSettings();     // Font
LONG StoreColorSettings();    // Color
LONG StoreBackSettings();     // Back
LONG StoreLimitSettings();    // COM1..COM4, UsedCOMNoRun
