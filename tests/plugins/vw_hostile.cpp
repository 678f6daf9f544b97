// A plug-in that breaks the contract in the ways a careless one might. The
// names block it gives depends on the name it was copied to, so one library
// serves every case:
//   overlong   "Fine" then a 20-byte name without terminator, size 60000
//   nullnames  no block at all, size 40
//   eighty     Fine, Huge and Zero in a zeroed block of 80, size 80
//   partial    Fine, then Huge whose NUL lies past the size of 22
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
    if (NamedLike("eighty") || NamedLike("partial")) {
        char some[80] = "Fine";
        std::strcpy(some + 20, "Huge");
        std::strcpy(some + 40, "Zero");
        *names = Block(some, NamedLike("eighty") ? 80 : 40);
        return NamedLike("eighty") ? 80 : 22;
    }
    char all[100] = {};
    const char* list[] = {"Fine", "Huge", "NoHandle", "Zero", "Missing"};
    for (int i = 0; i < 5; ++i) std::strcpy(all + 20 * i, list[i]);
    *names = Block(all, sizeof all);
    return sizeof all;
}

// The block Zero handed over with its failure; the host owns and frees it.
HGLOBAL zeroBlock;
const size_t kZeroBlockBytes = 4093;

// Counts short: the viewer shows the text up to its NUL all the same. Says
// so when the block of an earlier failure is still alive.
extern "C" WORD WINAPI Fine(HGLOBAL* text)
{
    bool kept = zeroBlock && GlobalSize(zeroBlock) == kZeroBlockBytes;
    *text = kept ? Block("fine, but Zero's block was kept", 32) : Block("fine", 5);
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
    *text = zeroBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kZeroBlockBytes);
    return TEXTGEN_FAILED;
}
