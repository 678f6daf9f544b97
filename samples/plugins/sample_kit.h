// Helpers both sample plug-ins share: texts are written here as wide
// strings (the sources stay readable UTF-8) and handed to the host as
// Shift-JIS bytes; settings live under the user's own registry key.
#pragma once
#include "kit/textgen.h"

// Converts text to code page 932 into a movable block ending in a NUL the
// host does not count, stores its handle at *block and returns the byte
// length, or TEXTGEN_FAILED when the text cannot be made.
WORD GiveText(const wchar_t* text, HGLOBAL* block);

// Builds a names block of count entries, each naming names[i], stores its
// handle at *block and returns its size in bytes (0 when it cannot).
WORD GiveNames(const char* const* names, int count, HGLOBAL* block);

// Settings under HKEY_CURRENT_USER\Software\Oxbellow\Kelmora Plugins\<plugin>.
DWORD ReadSettingNumber(const wchar_t* plugin, const wchar_t* name, DWORD fallback);
void ReadSettingText(const wchar_t* plugin, const wchar_t* name, wchar_t* out, DWORD outChars);
bool WriteSettingNumber(const wchar_t* plugin, const wchar_t* name, DWORD value);
bool WriteSettingText(const wchar_t* plugin, const wchar_t* name, const wchar_t* value);
