// The saver window's message path: SaverWindowProc answers what every saver
// must, forwards the rest to ScreenSaverProc, which ends in
// SaverDefaultHandler.
#include "saver/host/dismissal.h"
#include "saver/host/host_win.h"
#include "saver/saver_state.h"
#include "saver/show/cycle_win.h"

namespace {
void HideCursor() { SetCursor(nullptr); }

void RequestClose(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

void DetachInputContext(HWND window)
{
    HMODULE imm = GetModuleHandleW(L"IMM32.DLL");   // never loaded for this
    if (imm == nullptr) return;
    g.imeAssociateContext =
        reinterpret_cast<ImmAssociateContextFn>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
    if (g.imeAssociateContext != nullptr) g.savedImeContext = g.imeAssociateContext(window, nullptr);
}

void ReattachInputContext(HWND window)
{
    if (GetModuleHandleW(L"IMM32.DLL") != nullptr && g.imeAssociateContext != nullptr && g.savedImeContext != nullptr)
        g.imeAssociateContext(window, g.savedImeContext);
    g.savedImeContext = nullptr;
}
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        DetachInputContext(window);
        GetCursorPos(&g.cursorAnchor);
        if (!g.isPreview) HideCursor();
        break;
    case WM_DESTROY:
        ReattachInputContext(window);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (g.closing) return DefWindowProcW(window, message, wParam, lParam);
        if (!g.isPreview) HideCursor();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (g.isPreview) {
            HWND parent = GetParent(window);
            if (parent != nullptr && IsWindow(parent))
                PostMessageW(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            return 1;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (g.closing) return DefWindowProcW(window, message, wParam, lParam);
        break;
    case WM_DISPLAYCHANGE:
        if (!g.isPreview && !g.closing) FollowDisplayChange(window);
        break;
    case WM_SYSCOMMAND:
        if (!g.isPreview && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;
    case WM_TIMER:
        if (g.closing) return 0;
        Sleep(0);
        break;
    default:
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

LRESULT SaverDefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g.isPreview || g.closing) return DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_CLOSE) {
        if (g.isWin95Platform && !ConfirmClose(window)) {
            GetCursorPos(&g.cursorAnchor);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == SaverVerifyPasswordMessage) {
        if (!g.isWin95Platform) return DefWindowProcW(window, message, wParam, lParam);
        return g.verifyPassword != nullptr ? g.verifyPassword(window) : 1;
    }
    if (g.checkingPassword) return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0) HideCursor();
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 0) RequestClose(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RequestClose(window);
        break;
    case WM_SETCURSOR:
        HideCursor();
        return 1;
    case WM_MOUSEMOVE: {
        POINT now;
        GetCursorPos(&now);
        if (MoveWakes(now.x, now.y, g.cursorAnchor.x, g.cursorAnchor.y, g.wakeThreshold)) {
            RequestClose(window);
            g.cursorAnchor = now;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
