// A plug-in that breaks the contract in the way TG_HOSTILE names; without
// it, one procedure "Text" with a 6-byte text.
#include "tests/plugins/tg_plugin_util.h"

#include <cstdlib>

namespace {
bool Mode(const char* wanted)
{
    char mode[32];
    DWORD n = GetEnvironmentVariableA("TG_HOSTILE", mode, sizeof mode);
    return n > 0 && n < sizeof mode && std::strcmp(mode, wanted) == 0;
}

WORD GiveText(const char* name, HGLOBAL* text)
{
    TgNoteCall(name);
    if (Mode("nullhandle")) return 7;
    if (Mode("failwithblock")) {
        *text = TgBlock("tttttt", 6);
        return 0;
    }
    if (Mode("bigtext")) {
        // Twelve bytes, no terminator, claimed as far more.
        *text = TgBlock("ttttttttttttt", 12);
        return 5000;
    }
    *text = TgBlock("tttttt", 7);
    return 6;
}
}

extern "C" {
WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    char entries[40];
    std::memset(entries, 0, sizeof entries);
    WORD size = 20;
    if (Mode("nonames")) {
        std::strcpy(entries, "Text");
        *names = TgBlock(entries, 20);
        return 0;
    }
    if (Mode("nohandle")) return 60;
    if (Mode("short")) {
        *names = TgBlock("Text", 5);
        return 5;
    }
    if (Mode("unterminated")) {
        std::memset(entries, 'T', 20);
        std::strcpy(entries + 20, "Text");
        size = 40;
    } else if (Mode("longname")) {
        std::strcpy(entries, "TextWithAVeryLongName");   // 21 bytes, exported
        size = 40;
    } else if (Mode("oversize")) {
        std::strcpy(entries, "Text");
        std::strcpy(entries + 20, "Text");
        size = 400;
    } else {
        std::strcpy(entries, "Text");
    }
    *names = TgBlock(entries, Mode("oversize") ? 40 : size);
    return size;
}

WORD WINAPI Text(HGLOBAL* text) { return GiveText("Text", text); }
WORD WINAPI TextWithAVeryLongName(HGLOBAL* text) { return GiveText("Long", text); }
}
