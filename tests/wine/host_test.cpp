#include <gtest/gtest.h>

#include "saver/host/host_win.h"
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "tests/wine/wine_test_util.h"

#include <cstdio>
#include <string>

namespace {
const wchar_t kSaverClass[] = L"WindowsScreenSaverClass";

std::string PreviewArgument(HWND parent)
{
    char text[64];
    std::snprintf(text, sizeof text, "/p %llu",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(parent)));
    return text;
}

// True when the window has a WM_CLOSE waiting; takes it off the queue so
// that it is never carried out.
bool TakeClose(HWND window)
{
    MSG msg;
    bool found = false;
    while (PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) found = true;
    return found;
}

struct HostTest : testing::Test {
    HWND host = nullptr;
    HWND saver = nullptr;
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        // RunSaver registers the class itself and refuses to run when it
        // cannot; other groups may have left it registered.
        UnregisterClassW(kSaverClass, GetModuleHandleW(nullptr));
        SetSettingDword("Opening", 0);
        SetSettingText("FilePath", "C:\\no\\such\\folder");
    }
    void TearDown() override
    {
        if (saver && IsWindow(saver)) DestroyWindow(saver);
        if (host && IsWindow(host)) DestroyWindow(host);
        PumpMessages();
        UnregisterClassW(kSaverClass, GetModuleHandleW(nullptr));
        DeleteSettingsKey();
    }

    // The full-screen saver window as RunSaver makes it, without its
    // message loop, so that the test can feed it input.
    HWND CreateFullScreenSaver()
    {
        WNDCLASSW cls = {};
        cls.style = 0x2B;
        cls.lpfnWndProc = SaverWindowProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        cls.lpszClassName = kSaverClass;
        RegisterClassW(&cls);
        g.isPreview = 0;
        g.saverWindow = CreateWindowExW(WS_EX_TOPMOST, kSaverClass, L"Screen Saver", 0x96000000u, 0, 0,
                                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
        return g.saverWindow;
    }
};

// What the preview looked like from inside its own message loop.
struct PreviewSeen {
    HWND host;
    int ticks;
    bool found;
    RECT hostClient;
    RECT childClient;
    DWORD style;
    LRESULT setTextResult;
    wchar_t titleAfter[32];
    bool closePosted;
};
PreviewSeen seen;

void CALLBACK InspectPreview(HWND, UINT, UINT_PTR id, DWORD)
{
    // Give up rather than hang when no child ever appears.
    if (++seen.ticks > 100) {
        KillTimer(nullptr, id);
        DestroyWindow(seen.host);
        return;
    }
    HWND child = FindWindowExW(seen.host, nullptr, kSaverClass, nullptr);
    if (child == nullptr) return;
    KillTimer(nullptr, id);
    seen.found = true;
    GetClientRect(seen.host, &seen.hostClient);
    GetClientRect(child, &seen.childClient);
    seen.style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    seen.setTextResult = SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    GetWindowTextW(child, seen.titleAfter, 32);
    // No input ends a preview.
    SendMessageW(child, WM_KEYDOWN, 'A', 0);
    SendMessageW(child, WM_LBUTTONDOWN, 0, 0);
    SendMessageW(child, WM_ACTIVATEAPP, 0, 0);
    seen.closePosted = TakeClose(child);
    // The parent's end is the preview's end: RunSaver returns.
    DestroyWindow(seen.host);
}
}

TEST_F(HostTest, UnknownOptionAndMissingParentMakeNoWindow)
{
    HWND gone = CreateHostWindow(50, 50);
    DestroyWindow(gone);
    struct Case {
        int line;
        std::string argument;
    } cases[] = {
        {__LINE__, "/x"},
        {__LINE__, "/p 0"},
        {__LINE__, "/p"},
        {__LINE__, "/p:1234"},
        {__LINE__, PreviewArgument(gone)},   // a handle that is no longer a window
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaverMain(GetModuleHandleW(nullptr), c.argument.c_str()), -1) << "line " << c.line;
        EXPECT_EQ(FindWindowW(kSaverClass, nullptr), nullptr) << "line " << c.line;
        EXPECT_EQ(g.saverWindow, nullptr) << "line " << c.line;
    }
}

TEST_F(HostTest, PreviewRunsInsideItsParentUntilTheParentGoes)
{
    host = CreateHostWindow(152, 112);
    ASSERT_NE(host, nullptr);
    seen = PreviewSeen();
    seen.host = host;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, InspectPreview);
    ASSERT_NE(timer, 0u);
    int result = SaverMain(GetModuleHandleW(nullptr), PreviewArgument(host).c_str());
    KillTimer(nullptr, timer);

    EXPECT_EQ(result, 0);
    ASSERT_TRUE(seen.found) << "no preview window appeared in its parent";
    EXPECT_EQ(seen.childClient.right, seen.hostClient.right);
    EXPECT_EQ(seen.childClient.bottom, seen.hostClient.bottom);
    EXPECT_EQ(seen.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(seen.setTextResult, 0);
    EXPECT_STREQ(seen.titleAfter, L"Preview");
    EXPECT_FALSE(seen.closePosted);
    EXPECT_EQ(g.isPreview, 1u);
    EXPECT_FALSE(IsWindow(host));
    host = nullptr;
}

TEST_F(HostTest, FullScreenInputRequestsAClose)
{
    saver = CreateFullScreenSaver();
    ASSERT_NE(saver, nullptr);
    TakeClose(saver);

    struct Case {
        int line;
        UINT message;
        WPARAM wParam;
        bool closes;
    } cases[] = {
        {__LINE__, WM_KEYDOWN, 'A', true},
        {__LINE__, WM_SYSKEYDOWN, VK_MENU, true},
        {__LINE__, WM_LBUTTONDOWN, 0, true},
        {__LINE__, WM_RBUTTONDOWN, 0, true},
        {__LINE__, WM_MBUTTONDOWN, 0, true},
        {__LINE__, WM_ACTIVATEAPP, 0, true},    // another application took over
        {__LINE__, WM_ACTIVATEAPP, 1, false},
        {__LINE__, WM_KEYUP, 'A', false},
        {__LINE__, WM_CHAR, 'a', false},
        {__LINE__, WM_LBUTTONUP, 0, false},
        {__LINE__, WM_LBUTTONDBLCLK, 0, false},
        {__LINE__, WM_MOUSEWHEEL, 0, false},
    };
    for (const Case& c : cases) {
        SendMessageW(saver, c.message, c.wParam, 0);
        EXPECT_EQ(TakeClose(saver), c.closes) << "line " << c.line;
    }

    // The title stays.
    EXPECT_EQ(SendMessageW(saver, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed")), 0);
    wchar_t title[32];
    GetWindowTextW(saver, title, 32);
    EXPECT_STREQ(title, L"Screen Saver");

    // Once a close has been accepted, input is no longer examined and
    // ticks no longer reach the show.
    g.closing = 1;
    SendMessageW(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(TakeClose(saver));
    EXPECT_EQ(SendMessageW(saver, WM_TIMER, kShowTimerId, 0), 0);
    EXPECT_EQ(g.openingState, 0u);
}

TEST_F(HostTest, MouseMovesAreMeasuredFromTheAnchor)
{
    saver = CreateFullScreenSaver();
    ASSERT_NE(saver, nullptr);
    TakeClose(saver);
    const POINT anchor = {200, 200};
    SetCursorPos(anchor.x + 3, anchor.y + 1);
    POINT now;
    GetCursorPos(&now);
    if (now.x != anchor.x + 3 || now.y != anchor.y + 1) GTEST_SKIP() << "the cursor cannot be moved on this display";
    g.cursorAnchor = anchor;

    SendMessageW(saver, WM_MOUSEMOVE, 0, 0);   // distance 4
    EXPECT_FALSE(TakeClose(saver));
    SetCursorPos(anchor.x + 3, anchor.y + 2);   // distance 5
    SendMessageW(saver, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(TakeClose(saver));
    EXPECT_EQ(g.cursorAnchor.x, anchor.x + 3);
    EXPECT_EQ(g.cursorAnchor.y, anchor.y + 2);
    // The anchor moved with the close request: the same position again
    // does not ask a second time.
    SendMessageW(saver, WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(TakeClose(saver));
}

namespace {
// A serial port that cannot be opened here, as the saver finds a port that
// another program holds: 1 to 4, or 0 when every port opens (Wine maps
// COM1 to /dev/ttyS0 where that exists, and it does not honour exclusive
// opens of a serial device, so a held port cannot stand in for it).
int UnopenablePort(const char** name)
{
    static const char* const kPorts[4] = {"COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 4; ++i) {
        HANDLE port = CreateFile932(kPorts[i], GENERIC_READ, 0, OPEN_EXISTING, 0);
        if (port == INVALID_HANDLE_VALUE) {
            *name = kPorts[i];
            return i + 1;
        }
        CloseHandle(port);
    }
    return 0;
}
}

TEST_F(HostTest, BusyPortStopsTheSaverDuringCreation)
{
    const char* name = nullptr;
    if (UnopenablePort(&name) == 0) GTEST_SKIP() << "every COM port opens on this machine";
    SetSettingDword(name, 1);
    SetSettingDword("UsedCOMNoRun", 1);
    host = CreateHostWindow(160, 120);
    int result = SaverMain(GetModuleHandleW(nullptr), PreviewArgument(host).c_str());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FindWindowExW(host, nullptr, kSaverClass, nullptr), nullptr);
    EXPECT_EQ(g.portsChosen, 1u);
    EXPECT_EQ(g.portsFree, 0u);
    EXPECT_EQ(g.ShowTimer, 0);   // the show never started
    EXPECT_TRUE(IsWindow(host));
}

TEST_F(HostTest, BusyPortWithoutTheGateStillRuns)
{
    const char* name = nullptr;
    if (UnopenablePort(&name) == 0) GTEST_SKIP() << "every COM port opens on this machine";
    SetSettingDword(name, 1);
    host = CreateHostWindow(160, 120);
    saver = CreatePreviewSaver(host);
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(g.portsFree, 0u);
    EXPECT_NE(g.ShowTimer, 0);
}

TEST_F(HostTest, GateWithNoPortChosenLetsTheSaverRun)
{
    SetSettingDword("UsedCOMNoRun", 1);
    host = CreateHostWindow(160, 120);
    saver = CreatePreviewSaver(host);
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(g.portsChosen, 0u);
    EXPECT_EQ(g.portsFree, 1u);
}
