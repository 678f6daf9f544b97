// A plug-in that breaks the contract in the way TG_HOSTILE names; without
// it, one procedure "Text" with a 6-byte text. Some ways take the whole
// process down or never return: the host is there to survive them.
#include "tests/plugins/tg_plugin_util.h"

#include <cstdio>
#include <cstdlib>

namespace {
HINSTANCE self = nullptr;

// TG_HOSTILE names the way; without it, a copy named "H" and the way's
// first seven letters (HFAULT.DLL, HFAULTNA.DLL) goes that way, so that one
// folder can hold several at once.
bool Mode(const char* wanted)
{
    char mode[32];
    DWORD n = GetEnvironmentVariableA("TG_HOSTILE", mode, sizeof mode);
    if (n > 0) return n < sizeof mode && std::strcmp(mode, wanted) == 0;
    char path[MAX_PATH];
    n = GetModuleFileNameA(self, path, sizeof path);
    if (n == 0 || n >= sizeof path) return false;
    const char* name = std::strrchr(path, '\\') ? std::strrchr(path, '\\') + 1 : path;
    char expected[16] = "H";
    for (int i = 0; i < 7 && wanted[i]; ++i) expected[i + 1] = static_cast<char>(wanted[i] - 'a' + 'A');
    std::strcat(expected, ".DLL");
    return _stricmp(name, expected) == 0;
}

void Fault()
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

DWORD WINAPI Linger(void*)
{
    for (;;) Sleep(10);
}

WORD GiveText(const char* name, HGLOBAL* text)
{
    TgNoteCall(name);
    if (Mode("fault")) Fault();
    if (Mode("hang")) Sleep(INFINITE);
    if (Mode("exit")) ExitProcess(0);
    // TG_SLEEP: milliseconds the procedure takes before it answers.
    if (TgSetting("TG_SLEEP", 0) > 0) Sleep(static_cast<DWORD>(TgSetting("TG_SLEEP", 0)));
    if (Mode("print")) {
        // Into the pipes the host talks over, were they its standard ones.
        std::printf("KG\x82\x00\xff\xff\xff\xff garbage\n");
        std::fflush(stdout);
        std::fprintf(stderr, "more garbage\n");
        DWORD put = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "KG", 2, &put, nullptr);
    }
    if (Mode("threads")) CloseHandle(CreateThread(nullptr, 0, Linger, nullptr, 0, nullptr));
    if (Mode("huge")) {
        // A block far beyond what a text may be; the length says six.
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64u * 1024 * 1024);
        char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
        if (p) {
            std::memset(p, 't', 6);
            GlobalUnlock(block);
        }
        *text = block;
        return 6;
    }
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
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    self = instance;
    if (reason == DLL_PROCESS_ATTACH && Mode("faultonload")) Fault();
    return TRUE;
}

WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    if (Mode("faultnames")) Fault();
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

WORD WINAPI GetTextgenCnfgDlg(HWND)
{
    if (Mode("faultsettings")) Fault();
    if (Mode("exit")) ExitProcess(0);
    return 1;
}
WORD WINAPI TextWithAVeryLongName(HGLOBAL* text) { return GiveText("Long", text); }
}
