// A plug-in that breaks the contract in the way TG_HOSTILE names; without
// it, one procedure "Text" with a 6-byte text. Some ways take the whole
// process down or never return: the host is there to survive them.
#include "tests/plugins/tg_plugin_util.h"

#include <cstdio>
#include <cstdlib>

namespace {
HINSTANCE self = nullptr;

// TG_HOSTILE names the way; without it, the file's own name does (a copy
// named HANG.DLL hangs), so that one folder can hold several at once.
bool Mode(const char* wanted)
{
    char mode[32], path[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("TG_HOSTILE", mode, sizeof mode);
    if (n > 0) return n < sizeof mode && std::strcmp(mode, wanted) == 0;
    GetModuleFileNameA(self, path, sizeof path);
    const char* name = std::strrchr(path, '\\');
    return name && _strnicmp(name + 1, wanted, std::strlen(wanted)) == 0 && name[1 + std::strlen(wanted)] == '.';
}

void Fault() { *static_cast<int volatile*>(nullptr) = 1; }
DWORD WINAPI Linger(void*) { for (;;) Sleep(10); }

// "window": the first call leaves a hidden window behind with a timer on
// it; a later call is named "Served" once that timer has ticked between
// the calls. "dialog" / "hang": a settings window that answers for a
// while and closes, or one that hangs.
HWND leftBehind = nullptr;
int timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }
HWND MakeWindow(HWND owner, DWORD style)
{
    return CreateWindowExW(0, L"Static", L"tg_hostile", WS_POPUP | style, 0, 0, 40, 40, owner, nullptr, self, nullptr);
}

WORD GiveText(const char* name, HGLOBAL* text)
{
    if (Mode("window") && leftBehind) name = IsWindow(leftBehind) && timerTicks > 0 ? "Served" : "Unserved";
    if (Mode("window") && !leftBehind) {
        leftBehind = MakeWindow(nullptr, 0);
        SetTimer(leftBehind, 1, 10, CountTick);
    }
    TgNoteCall(name);
    if (Mode("fault")) Fault();
    if (Mode("hang")) Sleep(INFINITE);
    if (Mode("exit")) ExitProcess(0);
    // TG_SLEEP: milliseconds the procedure takes before it answers.
    if (TgSetting("TG_SLEEP", 0) > 0) Sleep(static_cast<DWORD>(TgSetting("TG_SLEEP", 0)));
    if (Mode("print")) std::printf("KG\x82 into the host's pipes, were they its standard ones\n");
    if (Mode("print")) std::fprintf(stderr, "KG\x82 and more\n");
    if (Mode("threads")) CloseHandle(CreateThread(nullptr, 0, Linger, nullptr, 0, nullptr));
    if (Mode("huge")) {
        // A block far beyond what a text may be; the length says six.
        *text = GlobalAlloc(GMEM_FIXED, 64u * 1024 * 1024);
        if (*text) std::memcpy(*text, "tttttt", 6);
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
    if (reason == DLL_PROCESS_ATTACH && Mode("lfault")) Fault();
    // "slowunload": a library that takes its time to let go, and says
    // when it came and went.
    if (Mode("slowunload") && reason == DLL_PROCESS_ATTACH) TgNoteCall("Load");
    if (Mode("slowunload") && reason == DLL_PROCESS_DETACH) {
        Sleep(800);
        TgNoteCall("Unload");
    }
    return TRUE;
}

WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    if (Mode("nfault")) Fault();
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
    } else if (Mode("oversize") || Mode("window")) {
        std::strcpy(entries, "Text");
        std::strcpy(entries + 20, "Text");
        size = 400;
    } else {
        std::strcpy(entries, "Text");
    }
    *names = TgBlock(entries, size > sizeof entries ? sizeof entries : size);
    return size;
}

WORD WINAPI Text(HGLOBAL* text) { return GiveText("Text", text); }

WORD WINAPI GetTextgenCnfgDlg(HWND owner)
{
    if (Mode("sfault")) Fault();
    if (Mode("exit")) ExitProcess(0);
    if (Mode("hang") || Mode("dialog")) {
        HWND dialog = MakeWindow(owner, WS_VISIBLE);
        if (Mode("hang")) Sleep(INFINITE);
        // Open well beyond the answer limit the tests set, answering all along.
        for (const ULONGLONG end = GetTickCount64() + TgSetting("TG_SLEEP", 0); GetTickCount64() < end;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
        DestroyWindow(dialog);
    }
    return 1;
}
WORD WINAPI TextWithAVeryLongName(HGLOBAL* text) { return GiveText("Long", text); }
}
