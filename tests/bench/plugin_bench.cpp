// Figures, not a test: how long a plug-in item takes from its first tick
// to its text on the screen, on the first visit and on later ones (every
// visit starts a host), and the longest tick of the show while the
// plug-in's procedure sleeps. Ticks come at the real 100 ms cadence.
#include "common/text932_win.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"

#include <cstdio>
#include <string>

namespace {
double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void PumpAll()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageW(&msg);
}

std::string Beside(const char* name)
{
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n);
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

void StoreSettings(const std::string& folder)
{
    HKEY key = nullptr;
    if (RegCreateKey932(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main", &key) != ERROR_SUCCESS)
        return;
    RegSetString932(key, "FilePath", folder.c_str());
    RegSetDword932(key, "Opening", 0);
    RegSetDword932(key, "Display", 0);
    RegCloseKey(key);
}

HWND OpenSaverIn(HWND parent)
{
    WNDCLASSW cls = {};
    cls.style = 0x2B;
    cls.lpfnWndProc = SaverWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"WindowsScreenSaverClass";
    RegisterClassW(&cls);
    RECT rc;
    GetClientRect(parent, &rc);
    ResetSaverState();
    g.instance = GetModuleHandleW(nullptr);
    g.isPreview = 1;
    HWND saver = CreateWindowExW(0, L"WindowsScreenSaverClass", L"Preview", 0x52000000u, 0, 0, rc.right, rc.bottom,
                                 parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (saver) KillTimer(saver, kShowTimerId);
    PumpAll();
    return saver;
}

struct VisitFigures {
    double toText;        // ms from the item's first tick to its text laid out
    double longestTick;   // ms, the longest tick of the item
    bool shown;
};

// Ticks through the next plug-in item: at the real cadence while it is
// on, at once otherwise.
VisitFigures VisitOnce(HWND saver)
{
    VisitFigures f = {0, 0, false};
    double start = 0;
    bool inPlugin = false;
    for (int tick = 0; tick < 4000; ++tick) {
        const double t0 = NowMs();
        SendMessageW(saver, WM_TIMER, kShowTimerId, 0);
        PumpAll();
        const double spent = NowMs() - t0;
        if (g.currentKind != 6) {
            if (inPlugin) break;
            continue;
        }
        if (!inPlugin) start = t0;
        inPlugin = true;
        if (spent > f.longestTick) f.longestTick = spent;
        if (!f.shown && g.textTicks >= 1) {
            f.shown = true;
            f.toText = NowMs() - start;
        }
        if (spent < 100) Sleep(static_cast<DWORD>(100 - spent));
    }
    return f;
}
}

void BenchPlugins(HWND window)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kelmora_plugin_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string plugin = folder + "\\A.DLL";
    CopyFileA(Beside("testplugins\\tg_hostile.dll").c_str(), plugin.c_str(), FALSE);
    HANDLE words = CreateFileA((folder + "\\B.TXT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    if (words != INVALID_HANDLE_VALUE) {
        WriteFile(words, "next", 4, &put, nullptr);
        CloseHandle(words);
    }
    StoreSettings(folder);
    SetEnvironmentVariableA("TG_HOSTILE", nullptr);

    HWND saver = OpenSaverIn(window);
    std::printf("plug-in item, first tick to text on screen (each visit starts its host):\n");
    for (int visit = 0; visit < 4; ++visit) {
        const VisitFigures f = VisitOnce(saver);
        std::printf("  visit %d: %8.1f ms%s   longest tick %6.2f ms\n", visit + 1, f.toText,
                    f.shown ? "" : " (no text)", f.longestTick);
    }
    const int sleepMs = 3000;
    char sleepText[16];
    std::snprintf(sleepText, sizeof sleepText, "%d", sleepMs);
    SetEnvironmentVariableA("TG_SLEEP", sleepText);
    const VisitFigures slow = VisitOnce(saver);
    std::printf("procedure sleeping %d ms: text after %8.1f ms, longest tick of the show %6.2f ms\n", sleepMs,
                slow.toText, slow.longestTick);
    SetEnvironmentVariableA("TG_SLEEP", nullptr);
    DestroyWindow(saver);
    PumpAll();
    DeleteFileA(plugin.c_str());
    DeleteFileA((folder + "\\B.TXT").c_str());
    RemoveDirectoryA(folder.c_str());
}
