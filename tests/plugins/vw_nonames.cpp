// A library with a text procedure but without GetTextgenProcNames.
#include <windows.h>

extern "C" WORD WINAPI Lonely(HGLOBAL*)
{
    return 0;
}
