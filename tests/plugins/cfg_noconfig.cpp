// A plug-in good for the show that has no settings procedure.
#include <windows.h>

#include "kit/textgen.h"

#include <cstring>

extern "C" {
WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    *names = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, TEXTGEN_NAME_ENTRY_SIZE);
    if (*names == nullptr) return 0;
    std::strcpy(static_cast<char*>(GlobalLock(*names)), "Saying");
    GlobalUnlock(*names);
    return TEXTGEN_NAME_ENTRY_SIZE;
}

WORD WINAPI Saying(HGLOBAL* text)
{
    *text = GlobalAlloc(GMEM_MOVEABLE, 4);
    if (*text == nullptr) return TEXTGEN_FAILED;
    std::memcpy(GlobalLock(*text), "abc", 4);
    GlobalUnlock(*text);
    return 3;
}
}
