#include "saver/host/command_line.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"
#include "saver/settings/configure_win.h"

namespace {
const wchar_t kSaverClass[] = L"WindowsScreenSaverClass";
const wchar_t kFullScreenTitle[] = L"Screen Saver";
const wchar_t kPreviewTitle[] = L"Preview";
const DWORD kFullScreenStyle = 0x96000000u;   // popup, visible, clip siblings and children
const DWORD kPreviewStyle = 0x52000000u;      // child, visible, clip children
const UINT kSaverClassStyle = 0x2Bu;          // own DC, double clicks, redraw on resize

uint32_t DetectWin95Platform()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = 148;
    if (!GetVersionExA(&info)) return 0;
    return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

int DispatchMode(const char* argumentText)
{
    SaverCommand command = ParseSaverCommand(argumentText);
    switch (command.mode) {
    case ModeConfigure:
        return ConfigureSaver(nullptr);
    case ModeConfigureOwned:
        return ConfigureSaver(GetForegroundWindow());
    case ModeChangePassword:
        if (!g.isWin95Platform) return -1;
        return ChangeSaverPassword(command.rest);
    case ModePreview: {
        HWND parent = reinterpret_cast<HWND>(command.handle);
        if (parent == nullptr || !IsWindow(parent)) return -1;
        return RunSaver(parent);
    }
    case ModeRun:
        return RunSaver(nullptr);
    case ModeUnknown:
    default:
        return -1;
    }
}
}

int SaverMain(HINSTANCE instance, const char* argumentText)
{
    g.instance = instance;
    g.wakeThreshold = 4;
    g.lastPasswordCheck = 0xFFFFFFFFu;   // no prompt has been shown yet
    g.isWin95Platform = DetectWin95Platform();
    // Hardware faults take the guard's own path (fault_guard_win.cpp); the
    // catch clause sees only C++ exceptions, should a library throw one.
    InstallFaultGuard();
    int result = -1;
    try {
        result = DispatchMode(argumentText);
    } catch (...) {
        SetSaverRunning(0);
        result = -1;
    }
    RemoveFaultGuard();
    return result;
}

int RunSaver(HWND parent)
{
    WNDCLASSW cls;
    ZeroMemory(&cls, sizeof cls);
    cls.style = kSaverClassStyle;
    cls.lpfnWndProc = SaverWindowProc;
    cls.hInstance = g.instance;
    cls.hIcon = LoadIconW(g.instance, MAKEINTRESOURCEW(100));
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    cls.lpszClassName = kSaverClass;

    int width, height;
    DWORD style, exStyle;
    const wchar_t* title;
    if (parent != nullptr) {
        RECT rc;
        GetClientRect(parent, &rc);
        width = rc.right;
        height = rc.bottom;
        g.isPreview = 1;
        title = kPreviewTitle;
        style = kPreviewStyle;
        exStyle = 0;
    } else {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        title = kFullScreenTitle;
        style = kFullScreenStyle;
        exStyle = WS_EX_TOPMOST;
        HWND running = FindWindowW(kSaverClass, kFullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordVerifier();
    }

    bool created = false;
    int result = -1;   // no window could be made: the mode failed
    if (RegisterClassW(&cls)) {
        g.saverWindow = CreateWindowExW(exStyle, kSaverClass, title, style, 0, 0, width, height, parent,
                                        nullptr, g.instance, nullptr);
        created = g.saverWindow != nullptr;
    }
    if (created) {
        if (!g.isPreview) {
            CreateCoverWindows();
            SetForegroundWindow(g.saverWindow);
        }
        MSG msg;
        msg.wParam = 0;
        BOOL got;
        while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        result = static_cast<int>(msg.wParam);
    } else {
        // A window refused during its creation (the busy-port gate) has
        // already asked to quit; that quit ends this mode normally.
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) result = static_cast<int>(quit.wParam);
    }
    if (!g.isWin95Platform && g.saverWindow != nullptr && IsWindow(g.saverWindow)) DestroyWindow(g.saverWindow);
    DestroyCoverWindows();
    g.saverWindow = nullptr;
    UnloadPasswordVerifier();
    UnregisterClassW(kSaverClass, g.instance);
    return result;
}

int ConfigureSaver(HWND owner)
{
    return static_cast<int>(DialogBoxParamW(g.instance, MAKEINTRESOURCEW(2003), owner,
                                            ScreenSaverConfigureDialog, 0));
}
