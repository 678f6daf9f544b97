// Settings: the registry store with its loaders, and the configuration
// dialog with its pages, which store their own groups of values.
//
// The registry store of the settings.
#pragma once
#include <windows.h>

// The same path under HKEY_CURRENT_USER (the user's own settings, which the
// configuration stores) and under HKEY_LOCAL_MACHINE (defaults for every
// user, which only an administrator or the setup writes). Plug-ins are
// loaded from the words folder named here, so a key every user could
// write would let one user run code in another's session.
extern const char SettingsKeyPath[];
// Group Policy's place for the same values, under HKEY_LOCAL_MACHINE (the
// computer's policies) and HKEY_CURRENT_USER (the user's); only Group
// Policy writes it, and users cannot.
extern const wchar_t PolicyKeyPath[];

// The loaders fill their group of g.settings from the first of: the
// machine's policy, the user's policy, the user's key, the machine's key,
// the default. A policy value counts only with the type, format and range
// of setting_values.def; in the settings keys a value of the wrong type or
// size, or too long for its reader, counts as missing there.
// Reading creates no key. FilePath is UTF-16 of at most 259 characters; one
// stored as REG_EXPAND_SZ is expanded for the user reading it.
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
// tell the user the settings were not kept. They write the user's key
// only, and never the machine's or a policy. A value a policy sets is
// skipped (the user's key keeps what it had). Flags are written as 0 or 1.
// A list whose text the loader could not read back is not written at all:
// ERROR_INSUFFICIENT_BUFFER when it is longer than the loader reads (127
// bytes, 199 for Font), ERROR_INVALID_DATA for an entry that would not load
// as it is (a face name holding ",", a fade code outside 00..14).
// A words folder of kFilePathChars characters or more (no terminator in the
// field) is refused with ERROR_INSUFFICIENT_BUFFER before anything is written.
// withFolder false leaves FilePath as it is stored (its type included).
LONG StoreMainSettings(bool withFolder = true);   // FilePath, Display, AVIPlay, Opening, AllMonitors
LONG StoreFadeSettings();     // Fade (the FadeCount codes of FadeCodes), FadeInOut
LONG StoreFontSettings();     // Font (Font[0 .. FontCount-1]; empty slots left out), Vertical
LONG StoreColorSettings();    // Color (Color[0 .. ColorCount-1])
LONG StoreBackSettings();     // Back (Back[0 .. BackCount-1])
LONG StoreLimitSettings();    // COM1..COM4, UsedCOMNoRun

// Whether a policy sets the named value (one the loaders would take), so
// that a page shows it greyed; AnySettingManaged asks it of every value
// the dialog and its pages offer.
bool SettingManaged(const char* name);
bool AnySettingManaged();
// False when a policy refuses text-generator plug-ins (AllowTextGenDLL 0):
// the show passes their files over and the TextGenDLL page runs none.
bool TextGenAllowed();
