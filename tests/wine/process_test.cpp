// The real saver module started as its own process, the way the control
// panel starts it: exit codes, windows it makes, input that ends it.
#include <gtest/gtest.h>

#include <windows.h>

#include "saver/host/host_win.h"
#include "tests/wine/wine_test_util.h"

#include <algorithm>
#include <string>
#include <cstdlib>
#include <vector>

namespace {
std::wstring SaverPath() { return BesideTests(L"KELMORA.scr"); }

struct Started {
    PROCESS_INFORMATION pi;
    bool ok;
};

Started Start(const std::wstring& arguments)
{
    Started s = {};
    std::wstring line = L"\"" + SaverPath() + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    s.ok = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi) != 0;
    return s;
}

// Exit code, or STILL_ACTIVE when the process had not ended within ms.
DWORD WaitExit(Started& s, DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(s.pi.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(s.pi.hProcess, &code);
    return code;
}

void Finish(Started& s)
{
    if (WaitForSingleObject(s.pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(s.pi.hProcess, 99);
        WaitForSingleObject(s.pi.hProcess, 5000);
    }
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
}

HWND WaitForSaverWindow(DWORD ms)
{
    for (DWORD waited = 0; waited < ms; waited += 50) {
        HWND w = FindWindowW(L"WindowsScreenSaverClass", L"Screen Saver");
        if (w) return w;
        Sleep(50);
    }
    return nullptr;
}
}

TEST(SaverProcess, UnusableCommandLinesEndWithMinusOneAndNoWindow)
{
    ASSERT_NE(GetFileAttributesW(SaverPath().c_str()), INVALID_FILE_ATTRIBUTES) << "KELMORA.scr beside the tests";
    struct Case {
        int line;
        const wchar_t* args;
    } cases[] = {
        {__LINE__, L"/x"},
        {__LINE__, L"/p 0"},
        {__LINE__, L"/p:1234"},
        {__LINE__, L"/p 99999999999999999999999"},
        {__LINE__, L"/p 4"},   // not a window
        {__LINE__, L"/a 0"},   // the password is the Windows 95 family's
    };
    for (const Case& c : cases) {
        Started s = Start(c.args);
        ASSERT_TRUE(s.ok) << "line " << c.line;
        EXPECT_EQ(WaitExit(s, 20000), static_cast<DWORD>(-1)) << "line " << c.line;
        Finish(s);
        EXPECT_EQ(FindWindowW(L"WindowsScreenSaverClass", nullptr), nullptr) << "line " << c.line;
    }
}

TEST(SaverProcess, ConfigurationDialogStoresOnOkAndEndsWithOne)
{
    Started s = Start(L"/c");
    HWND dialog = nullptr;   // "ミルカナScreenSaverの設定"
    for (int i = 0; s.ok && !dialog && i < 400; ++i, Sleep(50))
        dialog = FindWindowW(L"#32770", L"\x30df\x30eb\x30ab\x30caScreenSaver\x306e\x8a2d\x5b9a");
    SetDlgItemTextW(dialog, 1003, L"37");   // the hold time
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitExit(s, 20000), 1u);
    Finish(s);
    DWORD stored = 0, size = sizeof stored;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Oxbellow\\ScreenSaver.Kelmora\\Main", L"Display", RRF_RT_REG_DWORD,
                 nullptr, &stored, &size);
    EXPECT_EQ(stored, 37u);
    DeleteSettingsKey();
}

// The show runs a plug-in that never answers: the saver still ends on a
// key, and neither that end nor a forced one leaves the plug-in's host.
TEST(SaverProcess, FullScreenRunEndsOnAKeyAndASecondStartDefers)
{
    DeleteSettingsKey();
    std::string folder = MakeTempFolder("hangshow");
    ASSERT_TRUE(CopyFileW(BesideTests(L"testplugins\\tg_hostile.dll").c_str(),
                          std::wstring(folder.begin(), folder.end()).append(L"\\A.DLL").c_str(), FALSE));
    SetSettingText("FilePath", folder.c_str());
    SetSettingDword("Opening", 0);
    SetEnvironmentVariableA("TG_HOSTILE", "hang");

    Started forced = Start(L"/s");
    ASSERT_TRUE(forced.ok);
    std::vector<DWORD> hosts = ProcessesNamed(kOwnHost, 20000);
    EXPECT_FALSE(hosts.empty()) << "no host started for the plug-in";
    TerminateProcess(forced.pi.hProcess, 9);
    Finish(forced);
    EXPECT_TRUE(ProcessesEnd(hosts, 10000)) << "a host outlived its saver ended by force";

    Started first = Start(L"/s");
    ASSERT_TRUE(first.ok);
    HWND saver = WaitForSaverWindow(20000);
    ASSERT_NE(saver, nullptr);
    hosts = ProcessesNamed(kOwnHost, 20000);
    EXPECT_FALSE(hosts.empty()) << "no host started for the plug-in";
    RECT rc;
    GetWindowRect(saver, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom - rc.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongW(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // A second full-screen start finds the first and ends with 0.
    Started second = Start(L"-S");
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(WaitExit(second, 20000), 0u);
    Finish(second);
    EXPECT_EQ(WaitExit(first, 0), static_cast<DWORD>(STILL_ACTIVE));

    PostMessageW(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(WaitExit(first, 20000), 0u);
    Finish(first);
    EXPECT_EQ(FindWindowW(L"WindowsScreenSaverClass", nullptr), nullptr);
    EXPECT_TRUE(ProcessesEnd(hosts, 10000)) << "a host outlived its saver";
    SetEnvironmentVariableA("TG_HOSTILE", nullptr);
    DeleteSettingsKey();
    RemoveTree(folder);
}

namespace {
// Real input on the test display, made by xdotool, a Linux program that
// Wine starts like any other but cannot wait for; a pointer move is waited
// for where the platform sees the pointer. False when it could not run or
// the pointer did not arrive.
bool XdoTool(const std::wstring& arguments, int x = -1, int y = -1)
{
    const wchar_t tool[] = L"Z:\\usr\\bin\\xdotool";
    if (GetFileAttributesW(tool) == INVALID_FILE_ATTRIBUTES) return false;
    std::wstring line = L"\"" + std::wstring(tool) + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // Named apart from the command line: a name without an extension would
    // otherwise be looked for as an .exe.
    if (!CreateProcessW(tool, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (x < 0) {
        Sleep(500);
        return true;
    }
    // The platform learns of the move through the saver's full-screen window.
    for (int waited = 0; waited < 5000; waited += 20) {
        POINT at;
        if (GetCursorPos(&at) && at.x == x && at.y == y) return true;
        Sleep(20);
    }
    return false;
}
}

TEST(SaverProcess, RealInputWakesPastFourPixelsOrOnAKey)
{
    if (GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "xdotool is not installed";
    // A window of ours under the pointer tells the platform where the real
    // pointer is; without one it goes on believing the screen's centre.
    HWND cover = CreateHostWindow(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    bool placed = XdoTool(L"mousemove 400 300", 400, 300);
    DestroyWindow(cover);
    PumpMessages();
    if (!placed) GTEST_SKIP() << "xdotool's moves do not reach the platform";
    struct Step {
        const wchar_t* arguments;
        int x, y;   // where the pointer ends, or -1 for a key
    };
    const struct {
        int line;
        std::vector<Step> input;   // the last step decides
        bool ends;
    } cases[] = {
        {__LINE__, {{L"mousemove 403 300", 403, 300}}, false},
        {__LINE__, {{L"mousemove 402 298", 402, 298}}, false},   // 4 from where it started
        {__LINE__, {{L"mousemove 403 300", 403, 300}, {L"mousemove 405 300", 405, 300}}, true},
        {__LINE__, {{L"mousemove 400 295", 400, 295}}, true},
        {__LINE__, {{L"key a", -1, -1}}, true},
    };
    for (const auto& c : cases) {
        // The real pointer and the platform's idea of it agree before the
        // saver takes its anchor: no window of ours is there to tell the
        // platform of the first move.
        ASSERT_TRUE(XdoTool(L"mousemove 400 300")) << "line " << c.line;
        SetCursorPos(400, 300);
        Sleep(200);
        Started s = Start(L"/s");
        ASSERT_TRUE(s.ok) << "line " << c.line;
        ASSERT_NE(WaitForSaverWindow(20000), nullptr) << "line " << c.line;
        Sleep(500);   // the show has taken its anchor and settled
        for (const Step& step : c.input) ASSERT_TRUE(XdoTool(step.arguments, step.x, step.y)) << "line " << c.line;
        DWORD code = WaitExit(s, c.ends ? 10000 : 1500);
        if (c.ends) EXPECT_EQ(code, 0u) << "line " << c.line;
        else EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE)) << "line " << c.line;
        if (code == STILL_ACTIVE) {
            HWND saver = FindWindowW(L"WindowsScreenSaverClass", L"Screen Saver");
            if (saver) PostMessageW(saver, WM_KEYDOWN, 'A', 0);
            WaitExit(s, 10000);
        }
        Finish(s);
    }
}

TEST(SaverProcess, ImageCarriesTheListDescription)
{
    // The platform's screen-saver list looks for "SCRNSAVE:" and the display
    // name in Shift-JIS inside the module file.
    HANDLE file = CreateFileW(SaverPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string image(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &image[0], static_cast<DWORD>(image.size()), &got, nullptr);
    CloseHandle(file);
    image.resize(got);
    const char description[] = "SCRNSAVE:\x83\x7e\x83\x8b\x83\x4a\x83\x69";
    EXPECT_NE(image.find(std::string(description, sizeof description)), std::string::npos);
}

namespace {
BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
    return TRUE;
}

std::vector<RECT> CoverWindowRects()
{
    std::vector<RECT> rects;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"KelmoraCoverClass", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"KelmoraCoverClass", nullptr)) {
        RECT rc;
        GetWindowRect(w, &rc);
        if (IsWindowVisible(w)) rects.push_back(rc);
    }
    return rects;
}
}

namespace {
struct Ink {
    COLORREF background;
    RECT box;     // pixels of another colour
    int count;
};

// What the desktop shows inside r: the colour of its top-left pixel and
// where the pixels of other colours lie, relative to r.
Ink InkOn(const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC desktop = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(desktop);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, w, h, desktop, r.left, r.top, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    Ink ink = {RGB(p[0] >> 16 & 0xFF, p[0] >> 8 & 0xFF, p[0] & 0xFF), {w, h, 0, 0}, 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (p[y * w + x] != p[0]) {
                ++ink.count;
                ink.box = {std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                           std::max<LONG>(ink.box.right, x + 1), std::max<LONG>(ink.box.bottom, y + 1)};
            }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, desktop);
    DeleteObject(dib);
    return ink;
}
}

TEST(SaverProcess, EveryOtherMonitorShowsTheShowOrIsCoveredUntilTheSaverEnds)
{
    // The test scripts say how many monitors their display has; Wine's
    // desktop process may still be taking stock of them when this starts.
    const char* expected = getenv("KELMORA_TEST_MONITORS");
    const size_t wanted = expected != nullptr ? static_cast<size_t>(atoi(expected)) : 0;
    std::vector<RECT> monitors;
    for (int waited = 0;; waited += 100) {
        monitors.clear();
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        if (monitors.size() >= wanted || waited >= 15000) break;
        Sleep(100);
    }
    if (wanted < 2 && monitors.size() < 2) GTEST_SKIP() << "the test display has one monitor";
    ASSERT_GE(monitors.size(), wanted) << "monitors reported by the platform";

    // One saying in one colour pair, standing whole from the third second.
    std::string folder = MakeTempFolder("monitors");
    WriteFileBytes(folder + "\\ONE.TXT", "\x89\x8E\x82\xE0\x96\xD8\x82\xA9\x82\xE7\x97\x8E\x82\xBF\x82\xE9\r\n");
    for (DWORD all : {1u, 0u}) {
        DeleteSettingsKey();
        SetSettingText("FilePath", folder.c_str());
        SetSettingDword("Opening", 0);
        SetSettingText("Back", "128,");
        if (all == 0) SetSettingDword("AllMonitors", 0);   // missing means on
        Started s = Start(L"/s");
        ASSERT_TRUE(s.ok);
        HWND saver = WaitForSaverWindow(20000);
        ASSERT_NE(saver, nullptr);
        // The covers follow the show's window in the other process.
        std::vector<RECT> covers = CoverWindowRects();
        for (int waited = 0; covers.size() + 1 < monitors.size() && waited < 5000; waited += 50) {
            Sleep(50);
            covers = CoverWindowRects();
        }
        EXPECT_EQ(covers.size(), monitors.size() - 1) << "all monitors " << all;
        for (const RECT& m : monitors) {
            if (m.left == 0 && m.top == 0) continue;   // the primary shows the show
            bool found = false;
            for (const RECT& c : covers) found = found || EqualRect(&c, &m);
            EXPECT_TRUE(found) << "monitor at " << m.left << "," << m.top;
        }
        Sleep(4500);
        RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        Ink shown = InkOn(primary);
        EXPECT_GT(shown.count, 1000) << "all monitors " << all;
        std::vector<Ink> mirrors;
        for (const RECT& c : covers) {
            Ink mirror = InkOn(c);
            if (all == 0) {
                EXPECT_EQ(mirror.background, RGB(0, 0, 0));
                EXPECT_EQ(mirror.count, 0) << "a black cover";
                continue;
            }
            // The same saying on the same background, scaled to fit and
            // centred: its box scales with the fit, within a few pixels.
            EXPECT_EQ(mirror.background, shown.background);
            const double scale = std::min(double(c.right - c.left) / primary.right,
                                          double(c.bottom - c.top) / primary.bottom);
            const double dx = ((c.right - c.left) - primary.right * scale) / 2;
            const double dy = ((c.bottom - c.top) - primary.bottom * scale) / 2;
            EXPECT_NEAR(mirror.box.left, dx + shown.box.left * scale, 4);
            EXPECT_NEAR(mirror.box.right, dx + shown.box.right * scale, 4);
            EXPECT_NEAR(mirror.box.top, dy + shown.box.top * scale, 4);
            EXPECT_NEAR(mirror.box.bottom, dy + shown.box.bottom * scale, 4);
            mirrors.push_back(mirror);
        }
        // Monitors that sleep and wake: the same picture at once, not black
        // until the next item draws.
        if (all == 1) {
            PostMessageW(saver, WM_DISPLAYCHANGE, 32, MAKELPARAM(primary.right, primary.bottom));
            Sleep(700);
            covers = CoverWindowRects();
            ASSERT_EQ(covers.size(), mirrors.size());
            for (size_t i = 0; i < covers.size(); ++i) {
                Ink again = InkOn(covers[i]);
                EXPECT_EQ(again.background, mirrors[i].background);
                EXPECT_NEAR(again.count, mirrors[i].count, mirrors[i].count / 50 + 4) << "after a display change";
            }
        }
        // Input on a cover ends the saver like input on the show (and a saver
        // without covers is ended through its own window, so none is left).
        HWND cover = FindWindowExW(nullptr, nullptr, L"KelmoraCoverClass", nullptr);
        PostMessageW(cover != nullptr ? cover : saver, WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(WaitExit(s, 20000), 0u);
        Finish(s);
        EXPECT_TRUE(CoverWindowRects().empty());
    }
    DeleteSettingsKey();
    RemoveTree(folder);
}

// A deliberate fault inside a running saver, made only by this test program
// when it is started again as a child: the saver window is subclassed so
// that its first tick faults, either in the module's own code or in a
// platform library (a fault nobody handles). The shipped saver has no such
// switch.
namespace {
WNDPROC saverProc = nullptr;
bool faultInOwnCode = true;

LRESULT CALLBACK FaultingTick(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        if (faultInOwnCode) {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        } else {
            RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        }
    }
    return CallWindowProcW(saverProc, window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassTheSaver(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && saverProc == nullptr) {
        wchar_t name[64] = L"";
        GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
        if (std::wstring(name) == L"WindowsScreenSaverClass")
            saverProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FaultingTick)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}

int RunFaultingSaver(const char* where)
{
    faultInOwnCode = std::string(where) == "own";
    HWND host = CreateHostWindow(160, 120);
    SetWindowsHookExW(WH_CBT, SubclassTheSaver, nullptr, GetCurrentThreadId());
    std::string arguments = "/p " + std::to_string(reinterpret_cast<uintptr_t>(host));
    int result = SaverMain(GetModuleHandleW(nullptr), arguments.c_str());
    // Reaching this line means the fault went unnoticed.
    return 100 + result;
}

TEST(SaverProcess, FaultInsideTheSaverEndsWithTheGuardsCode)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (const wchar_t* where : {L"own", L"library"}) {
        std::wstring line = L"\"" + std::wstring(self) + L"\" --fault-inside-saver " + where;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        Started s = {};
        s.ok = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.pi) != 0;
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(WaitExit(s, 20000), static_cast<DWORD>(kSaverFaultExitCode)) << "fault in " << where;
        Finish(s);
    }
}
