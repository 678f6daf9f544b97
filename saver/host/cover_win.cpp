// Windows over every monitor but the primary one while the show runs there
// full screen, so no second screen shows the desktop: mirrors of the show,
// or black when the settings say so. They hand all input to the saver
// window, so the same rules end the saver from any screen, and they belong
// to it, so they go when it goes.
#include "saver/common/mirror_win.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"

namespace {
const wchar_t kCoverClass[] = L"KelmoraCoverClass";

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (g.saverWindow != nullptr && IsWindow(g.saverWindow))
            return SendMessageW(g.saverWindow, message, wParam, lParam);
        break;
    case WM_PAINT:
        if (g.mirroring) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            for (uint32_t i = 0; dc && i < g.coverCount; ++i)
                if (g.coverWindows[i] == window) PaintMirror(i, dc);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (g.mirroring) return 1;   // the paint covers every pixel
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct MonitorList {
    ScreenRect rects[64];
    uint32_t count;
};

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    MonitorList* list = reinterpret_cast<MonitorList*>(data);
    if (list->count < sizeof list->rects / sizeof list->rects[0])
        list->rects[list->count++] = {rect->left, rect->top, rect->right, rect->bottom};
    return TRUE;
}
}

void CreateCoverWindows()
{
    MonitorList list = {};
    if (!EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&list))) return;
    const ScreenRect primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ScreenRect covers[kMaxCoverWindows];
    uint32_t count = CoverRects(list.rects, list.count, primary, covers);
    if (count == 0) return;

    WNDCLASSW cls;
    ZeroMemory(&cls, sizeof cls);
    cls.lpfnWndProc = CoverWindowProc;
    cls.hInstance = g.instance;
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    cls.lpszClassName = kCoverClass;
    if (!RegisterClassW(&cls)) return;
    g.mirroring = g.settings.AllMonitors != 0;
    g.marginsPainted = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const ScreenRect& r = covers[i];
        HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, L"", WS_POPUP, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, g.saverWindow, nullptr, g.instance,
                                     nullptr);
        if (cover == nullptr) continue;
        g.coverRects[g.coverCount] = r;
        g.coverWindows[g.coverCount++] = cover;
        ShowWindow(cover, SW_SHOWNOACTIVATE);
    }
}

namespace {
void CloseCovers()
{
    for (uint32_t i = 0; i < g.coverCount; ++i) {
        // Usually already gone with the saver window that owns them.
        if (g.coverWindows[i] != nullptr && IsWindow(g.coverWindows[i])) DestroyWindow(g.coverWindows[i]);
        g.coverWindows[i] = nullptr;
    }
    g.coverCount = 0;
    g.mirroring = 0;
    UnregisterClassW(kCoverClass, g.instance);
}
}

void DestroyCoverWindows()
{
    CloseCovers();
    ReleaseFrame();
}

// Monitors come and go while the show runs: the covers follow them. A new
// size of the primary itself would leave the show's picture and the
// transitions' geometry behind, so the saver ends instead. The frame keeps
// the primary's size, so it still holds what every mirror shows: new covers
// paint it at once rather than stay black until the next item draws.
void FollowDisplayChange(HWND window)
{
    if (GetSystemMetrics(SM_CXSCREEN) != g.clientRect.right || GetSystemMetrics(SM_CYSCREEN) != g.clientRect.bottom) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    CloseCovers();
    CreateCoverWindows();
    if (!g.mirroring || g.coverCount == 0) {
        ReleaseFrame();
    } else if (!g.frameSurface.dc) {
        HDC screen = GetDC(window);
        FrameTarget(screen, g.clientRect.right, g.clientRect.bottom);
        if (screen) ReleaseDC(window, screen);
    }
}
