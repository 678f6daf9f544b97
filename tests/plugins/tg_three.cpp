// A well-behaved plug-in with three text procedures of different lengths.
// TG_THREE_SIZE overrides the names block size it reports (default 60);
// TG_THREE_FAIL=n makes the n-th procedure (1 to 3) fail.
#include "tests/plugins/tg_plugin_util.h"

#include <cstdlib>

namespace {
WORD Give(int number, const char* name, const char* text, HGLOBAL* block)
{
    TgNoteCall(name);
    if (TgSetting("TG_THREE_FAIL", 0) == number) return 0;
    WORD length = static_cast<WORD>(std::strlen(text));
    *block = TgBlock(text, length + 1u);
    return *block ? length : 0;
}
}

extern "C" {
WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    // The third name is short enough to lie wholly in a 50-byte block.
    char entries[60] = {};
    std::strcpy(entries, "One");
    std::strcpy(entries + 20, "Two");
    std::strcpy(entries + 40, "Three");
    *names = TgBlock(entries, sizeof entries);
    return static_cast<WORD>(TgSetting("TG_THREE_SIZE", 60));
}

WORD WINAPI One(HGLOBAL* text) { return Give(1, "One", "aaaa", text); }
WORD WINAPI Two(HGLOBAL* text) { return Give(2, "Two", "bbbbbbbb\r\n@>bb", text); }
WORD WINAPI Three(HGLOBAL* text) { return Give(3, "Three", "cc\r\ncccccccccccc", text); }
}
