// The one crossing between the saver's Shift-JIS bytes and the platform.
// Inside, every text is code page 932 bytes; the platform is called through
// its wide entry points with code page 932 named explicitly, so Japanese
// comes out right whatever the system's own code page is.
#pragma once
#include <windows.h>

#include <cstdint>

// Paths are UTF-16 from the registry to the file system; the portable rules
// see them as char16_t, which on this platform is the same unit.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
inline const char16_t* AsUtf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* AsUtf16(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }
inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// A converted text that lives on the stack for ordinary lengths and in a
// heap block only for very long ones.
struct Wide932 {
    wchar_t local[256];
    wchar_t* text;
    int length;   // in UTF-16 units, without terminator
};

// byteCount < 0: up to the terminator. A lone lead byte at the end is left
// out rather than turned into a replacement character.
void WideFrom932(Wide932* out, const char* bytes, int byteCount);
void FreeWide932(Wide932* w);

// UTF-16 to code page 932 into a byte buffer of outSize bytes (terminator
// included). Returns the byte length, or -1 when the text does not fit (the
// buffer then holds an empty text).
int NarrowTo932(const wchar_t* wide, int wideCount, char* out, int outSize);

// How many bytes code page 932 gives the character (1 or 2), or 0 when it
// has none there (no best fit: a lookalike is not a form). Answers for the
// basic plane are kept, so asking again costs a table look-up.
uint8_t ShiftJisBytes932(uint32_t codePoint);

// Drawing.
BOOL TextOut932(HDC dc, int x, int y, const char* bytes, int byteCount);
BOOL TextExtent932(HDC dc, const char* bytes, int byteCount, SIZE* size);
HFONT CreateFont932(int height, int width, int weight, BYTE charSet, BYTE pitchAndFamily,
                    const char* face);

// Resources and windows.
int LoadString932(HINSTANCE instance, UINT id, char* buffer, int bufferSize);
int MessageBox932(HWND owner, const char* text, const char* caption, UINT type);
BOOL SetWindowText932(HWND window, const char* text);
BOOL SetDlgItemText932(HWND dialog, int id, const char* text);
int GetDlgItemText932(HWND dialog, int id, char* buffer, int bufferSize);
LRESULT ListBoxAdd932(HWND list, const char* text);
// Item index of the list into buffer; the byte length, or -1 when there is
// no such item or it does not fit (the buffer then holds an empty text).
int ListBoxText932(HWND list, int index, char* buffer, int bufferSize);

// Registry. Query gives ERROR_MORE_DATA when the text does not fit.
LONG RegCreateKey932(HKEY root, const char* path, HKEY* key);
// Opens an existing key for reading only (no creation, no write access).
LONG RegOpenKeyRead932(HKEY root, const char* path, HKEY* key);
LONG RegQueryString932(HKEY key, const char* name, char* buffer, DWORD bufferSize);
// Only a REG_DWORD or REG_BINARY of exactly four bytes is a number;
// anything else fails and leaves *value alone.
LONG RegQueryDword932(HKEY key, const char* name, DWORD* value);
LONG RegSetString932(HKEY key, const char* name, const char* value);
LONG RegSetDword932(HKEY key, const char* name, DWORD value);

// Files and libraries.
HANDLE CreateFile932(const char* path, DWORD access, DWORD share, DWORD disposition,
                     DWORD flags);
struct FindData932 {
    char name[MAX_PATH * 2];
    char shortName[32];
    bool nameFits;     // false when the found name has no code page 932 form
    DWORD attributes;
};
HANDLE FindFirst932(const char* pattern, FindData932* found);
BOOL FindNext932(HANDLE search, FindData932* found);
// A plug-in from a file the user put somewhere: loaded from that path made
// absolute, with its own folder first for its dependencies, never found
// through the search path; a broken file gives null without a system box.
HMODULE LoadPluginLibraryW(const wchar_t* path);
HMODULE LoadPluginLibrary932(const char* path);   // the same for a Shift-JIS path
