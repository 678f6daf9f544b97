// Figures, not a test: the cost of the heaviest tick of each transition
// effect and of a saying's layout tick, as a share of the 100 ms tick, on a
// full-screen window; and how soon a plug-in's text comes from its host.
//   kelmora_bench.exe                     the table
//   kelmora_bench.exe --show KIND CALL S  draws KIND up to engine call CALL
//                                         and keeps the window S seconds
//   kelmora_bench.exe --photos TICKS      the show cycle for TICKS ticks of
//                                         100 ms on the folder the settings
//                                         name: its longest tick
//   kelmora_bench.exe --plugins           plug-in items in their host
#include "common/text932_win.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"
#include "saver/sayings/text_layout.h"
#include "saver/show/cycle_win.h"
#include "saver/transitions/transition_logic.h"
#include "saver/transitions/transition_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

const double kTickMs = 100.0;
const int kRunsPerEffect = 7;
const int kItemCalls = 62;   // one item with D = 0
const int kLayoutRuns = 5;

LRESULT CALLBACK BenchProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_ERASEBKGND) return 1;   // the picture stays as drawn
    return DefWindowProcW(w, m, wp, lp);
}

HWND CreateBenchWindow()
{
    WNDCLASSW cls = {};
    cls.lpfnWndProc = BenchProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KelmoraBench";
    RegisterClassW(&cls);
    int w = GetSystemMetrics(SM_CXSCREEN);
    int h = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"KelmoraBench", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                                  nullptr, nullptr, cls.hInstance, nullptr);
    UpdateWindow(window);
    return window;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

double Now()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The picture to reveal: coloured tiles and a large line of text, so that
// every effect has something to move.
MemorySurface MakePicture(HWND window)
{
    HDC screen = GetDC(window);
    MemorySurface s = {};
    s.dc = CreateCompatibleDC(screen);
    s.bitmap = CreateCompatibleBitmap(screen, g.clientRect.right, g.clientRect.bottom);
    s.oldBitmap = SelectObject(s.dc, s.bitmap);
    ReleaseDC(window, screen);
    const int tile = 120;
    for (int y = 0; y < g.clientRect.bottom; y += tile) {
        for (int x = 0; x < g.clientRect.right; x += tile) {
            HBRUSH brush = CreateSolidBrush(RGB((x * 255) / g.clientRect.right, (y * 255) / g.clientRect.bottom,
                                                ((x / tile + y / tile) % 2) ? 230 : 60));
            RECT r = {x, y, x + tile, y + tile};
            FillRect(s.dc, &r, brush);
            DeleteObject(brush);
        }
    }
    HFONT font = CreateFont932(g.clientRect.bottom / 3, 0, 700, 128, 48, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");   // ＭＳ ゴシック
    HGDIOBJ oldFont = SelectObject(s.dc, font);
    SetBkMode(s.dc, TRANSPARENT);
    SetTextColor(s.dc, RGB(255, 255, 255));
    const char word[] = "\x8C\xF5\x82\xC6\x89\x65";   // 光と影
    SIZE size = {};
    TextExtent932(s.dc, word, 6, &size);
    TextOut932(s.dc, (g.clientRect.right - size.cx) / 2, (g.clientRect.bottom - size.cy) / 2, word, 6);
    SelectObject(s.dc, oldFont);
    DeleteObject(font);
    return s;
}

void FreePicture(MemorySurface* s)
{
    SelectObject(s->dc, s->oldBitmap);
    DeleteDC(s->dc);
    DeleteObject(s->bitmap);
    *s = MemorySurface();
}

void UseKind(uint16_t kind)
{
    g.settings.EnabledTransitions[0] = kind;
    g.settings.FadeCount = 1;
    g.settings.Display = 0;
    g.settings.FadeInOut = 1;
}

// One engine tick as a presenter makes it: window surface, step, release,
// then the message loop's turn, where the window's pixels reach the display.
double TimedTick(HWND window, HDC source, int* finished, double* drawMs = nullptr)
{
    double t0 = Now();
    HDC screen = GetDC(window);
    *finished = StepTransition(screen, source);
    ReleaseDC(window, screen);
    GdiFlush();
    double t1 = Now();
    Pump();
    if (drawMs) *drawMs = t1 - t0;
    return Now() - t0;
}

void PrintName(uint16_t kind)
{
    Wide932 wide;
    WideFrom932(&wide, kTransitionNames[kind], -1);
    char utf8[80] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide.text, wide.length, utf8, sizeof utf8 - 1, nullptr, nullptr);
    FreeWide932(&wide);
    // Pad by columns: a three-byte character is full-width here.
    int columns = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
        if (*p < 0x80) columns += 1;
        else if (*p >= 0xE0) columns += 2;
        else if (*p >= 0xC0) columns += 1;
    }
    std::printf("%s", utf8);
    for (; columns < 20; ++columns) std::printf(" ");
}

// Each call of the item is timed on every run. The machine is shared, so a
// single run's maximum mostly measures the neighbours: the heaviest tick is
// the call whose median over the runs is largest; "best" is that call's
// fastest run and "draw" the part of the median spent in the engine's GDI
// calls (the rest is the message loop putting the pixels on the display).
void BenchEffects(HWND window, HDC source)
{
    std::printf("%-20s %4s %8s %6s %8s %8s %8s %6s %8s\n", "effect", "call", "median", "share", "best", "draw",
                "mean", "share", "raw max");
    for (uint16_t kind = 0; kind < kTransitionKinds; ++kind) {
        UseKind(kind);
        static double times[kItemCalls][kRunsPerEffect];
        static double draws[kItemCalls][kRunsPerEffect];
        double total = 0, rawMax = 0;
        int ticks = 0;
        for (int run = 0; run < kRunsPerEffect; ++run) {
            int finished = 0;
            for (int call = 0; call < kItemCalls && !finished; ++call) {
                double ms = TimedTick(window, source, &finished, &draws[call][run]);
                times[call][run] = ms;
                if (ms > rawMax) rawMax = ms;
                total += ms;
                ++ticks;
            }
        }
        int heaviest = 0;
        double heavy = 0;
        for (int call = 0; call < kItemCalls; ++call) {
            std::sort(times[call], times[call] + kRunsPerEffect);
            std::sort(draws[call], draws[call] + kRunsPerEffect);
            if (times[call][kRunsPerEffect / 2] > heavy) {
                heavy = times[call][kRunsPerEffect / 2];
                heaviest = call;
            }
        }
        double mean = total / ticks;
        PrintName(kind);
        std::printf(" %4d %8.2f %5.1f%% %8.2f %8.2f %8.2f %5.1f%% %8.2f\n", heaviest, heavy, heavy * 100 / kTickMs,
                    times[heaviest][0], draws[heaviest][kRunsPerEffect / 2], mean, mean * 100 / kTickMs, rawMax);
        std::fflush(stdout);
    }
}

void FillSayingSettings()
{
    std::memcpy(g.settings.Font[0], "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E", 14);   // ＭＳ ゴシック
    std::memcpy(g.settings.Font[1], "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9", 10);                   // ＭＳ 明朝
    g.settings.FontCount = 2;
    const COLORREF colours[] = {RGB(0, 255, 0), RGB(255, 255, 255), RGB(0, 255, 255), RGB(255, 255, 0),
                                RGB(255, 0, 0)};
    for (int i = 0; i < 5; ++i) g.settings.Color[i] = colours[i];
    g.settings.ColorCount = 5;
    g.settings.Back[0] = RGB(0, 0, 0);
    g.settings.BackCount = 1;
    for (uint16_t i = 0; i < kTransitionKinds; ++i) g.settings.EnabledTransitions[i] = i;
    g.settings.FadeCount = kTransitionKinds;
    g.settings.Display = 0;
    g.settings.FadeInOut = 0;
}

// 朝の光は静かに窓を照らし、 / 遠くの山はまだ眠っている。 / 今日という日を大切に。 / @>作者不詳
const char kSaying[] =
    "\x92\xA9\x82\xCC\x8C\xF5\x82\xCD\x90\xC3\x82\xA9\x82\xC9\x91\x8B\x82\xF0\x8F\xC6\x82\xE7\x82\xB5\x81\x41"
    "\r\n"
    "\x89\x93\x82\xAD\x82\xCC\x8E\x52\x82\xCD\x82\xDC\x82\xBE\x96\xB0\x82\xC1\x82\xC4\x82\xA2\x82\xE9\x81\x42"
    "\r\n"
    "\x8D\xA1\x93\xFA\x82\xC6\x82\xA2\x82\xA4\x93\xFA\x82\xF0\x91\xE5\x90\xD8\x82\xC9\x81\x42"
    "\r\n"
    "\x40\x3E\x8D\xEC\x8E\xD2\x95\x73\x8F\xDA";

// Puts a saying into g.textBuffer as a plug-in's text would come.
bool HandOverSaying(const char* saying = kSaying, uint32_t length = sizeof kSaying - 1)
{
    g.textBuffer = GlobalAlloc(GMEM_MOVEABLE, length);
    if (!g.textBuffer) return false;
    std::memcpy(GlobalLock(g.textBuffer), saying, length);
    GlobalUnlock(g.textBuffer);
    g.textLength = length;
    return true;
}

// The layout tick of one saying: handed over as a plug-in's text (mode 1)
// or read from its words file (mode 0), which may be in Unicode.
void BenchLayout(HWND window, const char* label, const char* saying, uint32_t length, uint16_t mode)
{
    wchar_t path[MAX_PATH] = {};
    if (mode == 0) {
        GetTempPathW(MAX_PATH - 20, path);
        std::wcscat(path, L"kelmora_bench.txt");
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE) WriteFile(file, saying, length, &written, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        std::wcscpy(g.currentPath, path);
    }
    FillSayingSettings();
    double times[kLayoutRuns] = {}, draws[kLayoutRuns] = {};
    int runs = 0;
    for (int run = 0; run < kLayoutRuns; ++run) {
        if (mode != 0 && !HandOverSaying(saying, length)) break;
        g.itemBusy = 1;
        double t0 = Now();
        RenderTextItem(window, mode);
        GdiFlush();
        draws[runs] = Now() - t0;
        Pump();
        times[runs++] = Now() - t0;
        // Let the item run out so that everything it holds is released.
        for (int tick = 0; g.itemBusy && tick < 200; ++tick) RenderTextItem(window, mode);
        if (g.textBuffer) {
            GlobalFree(g.textBuffer);
            g.textBuffer = nullptr;
        }
        Pump();
    }
    if (mode == 0) DeleteFileW(path);
    if (runs == 0) return;
    // The first saying makes the picture that the later ones draw into.
    double first = times[0];
    std::sort(times, times + runs);
    std::sort(draws, draws + runs);
    double median = times[runs / 2];
    std::printf("%-20s %4s %8.2f %5.1f%% %8.2f %8.2f %8s %6s %8.2f   (median of %d runs; the first %.2f)\n", label,
                "0", median, median * 100 / kTickMs, times[0], draws[runs / 2], "", "", times[runs - 1], runs, first);
}

void BenchLayouts(HWND window)
{
    BenchLayout(window, "saying layout tick", kSaying, sizeof kSaying - 1, 1);
    g.settings.Vertical = 1;   // the same saying set down the screen
    BenchLayout(window, "saying layout, down", kSaying, sizeof kSaying - 1, 1);
    g.settings.Vertical = 0;
    BenchLayout(window, "  from its file", kSaying, sizeof kSaying - 1, 0);
    // Japanese, Korean, emoji and a kanji beyond the basic plane, in UTF-8:
    // 𠮷田さんの庭に桜🌸が咲いた、 / 안녕하세요、春ですね👍🏽 / 令和㋿の春を大切に。 / @>作者不詳
    static const char kMixed[] = u8"𠮷田さんの庭に桜🌸が咲いた、\r\n안녕하세요、春ですね👍🏽\r\n"
                                 u8"令和㋿の春を大切に。\r\n@>作者不詳";
    BenchLayout(window, "  mixed, UTF-8 file", kMixed, sizeof kMixed - 1, 0);
    g.settings.Vertical = 1;
    BenchLayout(window, "  mixed, down", kMixed, sizeof kMixed - 1, 0);
    g.settings.Vertical = 0;
}

// Where a layout tick goes, part by part: the layout itself, the
// transition's first step and the display taking the window's pixels; then
// the layout's own pieces done again alone on its finished picture: the
// glyphs at a size not drawn before and at the saying's own (which the
// layout has just made), the two colour passes over its rows, one fill of
// the whole picture, and a new picture of the screen's size.
void BenchLayoutParts(HWND window)
{
    enum { kLayout, kStep, kDisplay, kNewSize, kGlyphs, kColour, kFill, kNewPicture, kParts };
    static const char* const kNames[kParts] = {"layout",           "first step",      "display takes it",
                                               "  glyphs, new size", "  glyphs again", "  colour passes",
                                               "  one whole fill",   "  new picture"};
    double times[kParts][kLayoutRuns] = {};
    const int width = g.clientRect.right, height = g.clientRect.bottom;
    const RECT all = {0, 0, width, height};
    for (int run = 0; run < kLayoutRuns && HandOverSaying(); ++run) {
        double mark = Now();
        auto lap = [&](int part) {
            GdiFlush();
            if (part == kDisplay) Pump();
            times[part][run] = Now() - mark;
            mark = Now();
        };
        g.itemBusy = 1;
        HDC screen = GetDC(window);
        LayOutTextItem(window, 1, screen);
        lap(kLayout);
        StepTransition(screen, g.SourceSurface.dc);
        lap(kStep);
        ReleaseDC(window, screen);
        lap(kDisplay);
        const TextPlacement& p = LastTextPlacement();
        const FontRequest r = MainFontRequest(p.mainWidth);
        HDC dc = g.SourceSurface.dc;
        for (int part : {int(kNewSize), int(kGlyphs)}) {
            HFONT font = CreateFont932(part == kNewSize ? r.height - 1 - run : r.height, r.width, r.weight, r.charSet,
                                       r.pitchAndFamily, g.faceName);
            HGDIOBJ oldFont = SelectObject(dc, font);
            mark = Now();
            int y = p.top;
            for (const char *line = kSaying, *end; (end = std::strstr(line, "\r\n")) != nullptr; line = end + 2)
                TextOut932(dc, p.left, (y += p.mainCy) - p.mainCy, line, static_cast<int>(end - line));
            lap(part);
            DeleteObject(SelectObject(dc, oldFont));
        }
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        mark = Now();
        PatBlt(dc, 0, p.top - p.mainCy / 4, width, 3 * p.mainCy + p.subCy + p.mainCy / 2, 0x00A000C9);
        SelectObject(dc, g.BackgroundBrush);
        PatBlt(dc, 0, p.top - p.mainCy / 4, width, 3 * p.mainCy + p.subCy + p.mainCy / 2, PATINVERT);
        lap(kColour);
        SelectObject(dc, oldBrush);
        FillRect(dc, &all, g.BackgroundBrush);
        lap(kFill);
        MemorySurface fresh = {CreateCompatibleDC(dc), CreateCompatibleBitmap(dc, width, height), nullptr, nullptr};
        fresh.oldBitmap = SelectObject(fresh.dc, fresh.bitmap);
        FillRect(fresh.dc, &all, g.BackgroundBrush);
        lap(kNewPicture);
        ReleaseMemorySurface(&fresh);
        for (int tick = 0; g.itemBusy && tick < 200; ++tick) RenderTextItem(window, 1);
        FreeGlobalBlock(&g.textBuffer);
        Pump();
    }
    for (int part = 0; part < kParts; ++part) {
        std::sort(times[part], times[part] + kLayoutRuns);
        const double median = times[part][kLayoutRuns / 2];
        std::printf("  %-20s %8.2f ms %5.1f%%   (best %.2f)\n", kNames[part], median, median * 100 / kTickMs,
                    times[part][0]);
    }
}

// The real show cycle on the words folder of the settings, one tick every
// 100 ms as the timer gives them: the longest tick and the median.
void BenchShow(HWND window, int ticks)
{
    ScreenSaverProc(window, WM_CREATE, 0, 0);
    KillTimer(window, kShowTimerId);
    // Painted once, as the saver's window is when it is shown.
    HDC dc = GetDC(window);
    FillRect(dc, &g.clientRect, g.BackgroundBrush);
    ReleaseDC(window, dc);
    Pump();
    static double times[100000];
    if (ticks > 100000) ticks = 100000;
    double longest = 0, firstLongest = 0;
    int longestAt = 0, firsts = 0;
    for (int i = 0; i < ticks; ++i) {
        const bool composing = g.bitmapTicks == 0;
        double t0 = Now();
        ScreenSaverProc(window, WM_TIMER, kShowTimerId, 0);
        GdiFlush();
        Pump();
        double ms = Now() - t0;
        times[i] = ms;
        if (ms > longest) longest = ms, longestAt = i;
        // The tick that put a photo's picture together.
        const bool first = composing && g.bitmapTicks == 1;
        if (first) firstLongest = std::max(firstLongest, ms), ++firsts;
        if (ms > kTickMs / 2) std::printf("  tick %d: %.2f ms%s\n", i, ms, first ? " (a photo's first)" : "");
        if (ms < kTickMs) Sleep(static_cast<DWORD>(kTickMs - ms));
    }
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    std::sort(times, times + ticks);
    std::printf("show of %d ticks: longest %.2f ms (%.1f%%, tick %d), median %.2f ms, 99th %.2f ms; "
                "longest of the %d photos' first ticks %.2f ms\n", ticks, longest, longest * 100 / kTickMs, longestAt,
                times[ticks / 2], times[ticks * 99 / 100], firsts, firstLongest);
}

void Show(HWND window, HDC source, uint16_t kind, int lastCall, int seconds)
{
    UseKind(kind);
    for (int call = 0; call <= lastCall; ++call) {
        int finished = 0;
        TimedTick(window, source, &finished);
        if (finished) break;
    }
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        Pump();
        Sleep(50);
    }
}

// A plug-in item in its host, ticked at the real cadence: the time from
// the item's first tick to its text laid out, the first tick (which starts
// the host) and the longest tick spent waiting for the host's answers.
void VisitPlugin(HWND saver, const char* label)
{
    double start = 0, toText = 0, first = 0, waiting = 0;
    for (int tick = 0; tick < 4000; ++tick) {
        const bool awaiting = g.pluginHost.awaiting != 0;
        const double t0 = Now();
        SendMessageW(saver, WM_TIMER, kShowTimerId, 0);
        Pump();
        const double spent = Now() - t0;
        if (g.currentKind != 6) {
            if (start > 0) break;
            continue;
        }
        if (start == 0) start = t0, first = spent;
        if (awaiting && g.pluginHost.awaiting) waiting = std::max(waiting, spent);   // no answer came
        if (toText == 0 && g.textTicks >= 1) toText = Now() - start;
        if (spent < kTickMs) Sleep(static_cast<DWORD>(kTickMs - spent));
    }
    std::printf("%-30s %7.1f ms to its text; ticks: first %6.2f ms, longest waiting %6.2f ms\n", label, toText,
                first, waiting);
}

// Every visit starts a host; the first one finds nothing in the caches.
void BenchPlugins(HWND window)
{
    char path[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "testplugins\\tg_hostile.dll");
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kelmora_plugin_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(path, (folder + "\\A.DLL").c_str(), FALSE);
    CopyFileA(path, (folder + "\\B.TXT").c_str(), FALSE);   // any saying will do between the visits
    HKEY key = nullptr;
    RegCreateKey932(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main", &key);
    RegSetString932(key, "FilePath", folder.c_str());
    RegSetDword932(key, "Opening", 0);
    RegSetDword932(key, "Display", 0);
    RegCloseKey(key);
    WNDCLASSW cls = {};
    cls.lpfnWndProc = SaverWindowProc;
    cls.lpszClassName = L"WindowsScreenSaverClass";
    RegisterClassW(&cls);
    ResetSaverState();
    g.isPreview = 1;
    HWND saver = CreateWindowExW(0, cls.lpszClassName, L"Preview", WS_CHILD | WS_VISIBLE, 0, 0, 1920, 1080, window,
                                 nullptr, nullptr, nullptr);
    KillTimer(saver, kShowTimerId);
    const char* labels[] = {"plug-in item, first visit", "plug-in item, second visit", "plug-in item, third visit"};
    for (const char* label : labels) VisitPlugin(saver, label);
    SetEnvironmentVariableA("TG_SLEEP", "3000");
    VisitPlugin(saver, "plug-in sleeping 3000 ms");
    SetEnvironmentVariableA("TG_SLEEP", nullptr);
    DestroyWindow(saver);
    Pump();
    DeleteFileA((folder + "\\A.DLL").c_str());
    DeleteFileA((folder + "\\B.TXT").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    ResetSaverState();
    g.instance = GetModuleHandleW(nullptr);
    HWND window = CreateBenchWindow();
    Pump();
    g.saverWindow = window;
    GetClientRect(window, &g.clientRect);
    g.blackBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    g.BackgroundBrush = CreateSolidBrush(RGB(0, 0, 96));
    MemorySurface picture = MakePicture(window);

    if (argc >= 2 && std::strcmp(argv[1], "--layout") == 0) {
        std::printf("client %ld x %ld, tick %.0f ms\n", g.clientRect.right, g.clientRect.bottom, kTickMs);
        BenchLayouts(window);
        // Again on the default background, black.
        DeleteObject(g.BackgroundBrush);
        g.BackgroundBrush = CreateSolidBrush(RGB(0, 0, 0));
        std::printf("on black:\n");
        BenchLayout(window, "saying layout tick", kSaying, sizeof kSaying - 1, 1);
        g.settings.Vertical = 1;
        BenchLayout(window, "saying layout, down", kSaying, sizeof kSaying - 1, 1);
        g.settings.Vertical = 0;
        BenchLayoutParts(window);
    } else if (argc >= 3 && std::strcmp(argv[1], "--photos") == 0) {
        std::printf("client %ld x %ld, tick %.0f ms\n", g.clientRect.right, g.clientRect.bottom, kTickMs);
        BenchShow(window, std::atoi(argv[2]));
    } else if (argc >= 2 && std::strcmp(argv[1], "--plugins") == 0) {
        BenchPlugins(window);
    } else if (argc >= 5 && std::strcmp(argv[1], "--show") == 0) {
        Show(window, picture.dc, static_cast<uint16_t>(std::atoi(argv[2])), std::atoi(argv[3]), std::atoi(argv[4]));
    } else {
        std::printf("client %ld x %ld, tick %.0f ms, %d runs of each effect (reveal and hide, D = 0)\n",
                    g.clientRect.right, g.clientRect.bottom, kTickMs, kRunsPerEffect);
        BenchEffects(window, picture.dc);
        BenchLayouts(window);
    }

    ReleaseDarkSurface();
    FreePicture(&picture);
    DeleteObject(g.BackgroundBrush);
    g.BackgroundBrush = nullptr;
    DestroyWindow(window);
    return 0;
}
