// Names Zeta before Alpha, so a viewer that lists in block order shows up;
// Zeta's text is Japanese, so a lost code page shows up too. Its settings
// are a box that names the owner it was given but is not owned by it.
#include <windows.h>

#include <cstring>

#include "kit/textgen.h"

namespace {
WORD Give(HGLOBAL* out, const char* text)
{
    size_t n = std::strlen(text);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n + 1);
    if (h == nullptr) return TEXTGEN_FAILED;
    std::memcpy(GlobalLock(h), text, n + 1);
    GlobalUnlock(h);
    *out = h;
    return static_cast<WORD>(n);
}
}

extern "C" WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40);
    if (h == nullptr) return 0;
    char* p = static_cast<char*>(GlobalLock(h));
    std::strcpy(p, "Zeta");
    std::strcpy(p + 20, "Alpha");
    GlobalUnlock(h);
    *names = h;
    return 40;
}

// "ゼータの言葉" CR LF "second line"
extern "C" WORD WINAPI Zeta(HGLOBAL* text)
{
    return Give(text, "\x83\x5b\x81\x5b\x83\x5e\x82\xcc\x8c\xbe\x97\x74\r\nsecond line");
}

extern "C" WORD WINAPI Alpha(HGLOBAL* text)
{
    return Give(text, "alpha text");
}

extern "C" WORD WINAPI GetTextgenCnfgDlg(HWND owner)
{
    wchar_t text[32];
    wsprintfW(text, L"%p", owner);
    MessageBoxW(nullptr, text, L"vw_two settings", MB_OK);
    return 0;
}
