// A plug-in that breaks the contract in the ways a careless one might. The
// names block it gives depends on the name it was copied to, so one library
// serves every case:
//   overlong   "Fine" then a 20-byte name without terminator, size 60000
//   nullnames  no block at all, size 40
//   eighty     Fine, Huge, Zero, an empty entry; partial: Fine, Huge, size 22
//   otherwise  Fine, Huge, NoHandle, Zero and Missing (not exported)
#include <windows.h>

#include <cstring>

#include "kit/textgen.h"

namespace {
HGLOBAL Block(const char* bytes, size_t n)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    if (h) {
        std::memcpy(GlobalLock(h), bytes, n);
        GlobalUnlock(h);
    }
    return h;
}

bool NamedLike(const char* word)
{
    char path[MAX_PATH];
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&NamedLike), &self);
    GetModuleFileNameA(self, path, sizeof path);
    return std::strstr(path, word) != nullptr;
}
}

extern "C" WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    if (NamedLike("overlong")) {
        *names = Block("Fine\0...............ABCDEFGHIJKLMNOPQRST", 40);
        return 60000;
    }
    if (NamedLike("nullnames")) return 40;
    static const char some[80] = "Fine\0...............Huge\0...............Zero";
    if (NamedLike("eighty") || NamedLike("partial")) return *names = Block(some, 80), NamedLike("eighty") ? 80 : 22;
    char all[100] = {};
    const char* list[] = {"Fine", "Huge", "NoHandle", "Zero", "Missing"};
    for (int i = 0; i < 5; ++i) std::strcpy(all + 20 * i, list[i]);
    *names = Block(all, sizeof all);
    return sizeof all;
}

HGLOBAL zeroBlock;   // handed over with a failure: the host frees it

// Counts short; says so when Zero's block outlived its failure.
extern "C" WORD WINAPI Fine(HGLOBAL* text)
{
    *text = zeroBlock && GlobalSize(zeroBlock) == 4093 ? Block("kept", 5) : Block("fine", 5);
    return 2;
}

// Claims far more than the block holds, with no terminator inside it.
extern "C" WORD WINAPI Huge(HGLOBAL* text)
{
    *text = Block("cut-text", 8);
    return 60000;
}

extern "C" WORD WINAPI NoHandle(HGLOBAL*)
{
    return 10;
}

extern "C" WORD WINAPI Zero(HGLOBAL* text)
{
    *text = zeroBlock = GlobalAlloc(GMEM_MOVEABLE, 4093);
    return TEXTGEN_FAILED;
}
