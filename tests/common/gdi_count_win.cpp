#include "tests/common/gdi_count_win.h"

#include <windows.h>
#include <winternl.h>

namespace {
// One entry of the process's GDI handle table, as the platform lays it out.
struct GdiHandleEntry {
    unsigned long long object;
    unsigned long owner;
    unsigned short unique;
    unsigned char type;
    unsigned char flags;
    unsigned long long userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "handle table entry");
const int kGdiHandleCount = 0x10000;

#ifdef _WIN64
const size_t kGdiTableInPeb = 0xF8;
#else
const size_t kGdiTableInPeb = 0x94;
#endif

const GdiHandleEntry* GdiTable()
{
    const char* peb = reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + kGdiTableInPeb);
}

}

long CountGdiObjects()
{
    const GdiHandleEntry* table = GdiTable();
    if (table == nullptr) return -1;
    long used = 0;
    for (int i = 0; i < kGdiHandleCount; ++i)
        if (table[i].type != 0) ++used;
    return used;
}

// The table is only trusted when one new brush shows up in it as one more
// object and goes again when deleted.
bool GdiCountIsReal()
{
    long before = CountGdiObjects();
    if (before < 0) return false;
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    long with = CountGdiObjects();
    DeleteObject(brush);
    return with == before + 1 && CountGdiObjects() == before;
}

