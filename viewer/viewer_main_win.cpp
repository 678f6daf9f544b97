// KELMGDBG: the program entry and its main window, a menu over one text
// area that shows what the plug-in under test returned.
#include "viewer/viewer_state.h"
#include "viewer/viewer_resource.h"
#include "common/text932_win.h"
#include "kit/textgen.h"

ViewerState v;

namespace {
const wchar_t kViewerClass[] = L"DUZEVAZAClass";

// The text area's own font: the stock system font has no Japanese glyphs
// on a system whose code page is not 932.
HFONT MakeTextFont()
{
    return CreateFont932(-16, 0, FW_NORMAL, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN,
                         "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");  // ＭＳ ゴシック
}

void OpenSettingsOfPlugin(HWND window)
{
    if (v.viewerPlugin == nullptr) return;
    TextgenConfigProc configure =
        reinterpret_cast<TextgenConfigProc>(reinterpret_cast<void*>(GetProcAddress(v.viewerPlugin, "GetTextgenCnfgDlg")));
    if (configure == nullptr) {
        ShowViewerMessage(window, IDS_NO_CONFIG_PROC);
        return;
    }
    BeginPluginCall(window);
    configure(window);
    EndPluginCall(window);
}
}

void ShowViewerMessage(HWND owner, UINT textId)
{
    char text[256];
    LoadString932(v.instance, textId, text, sizeof text);
    MessageBox932(owner, text, kViewerCaption, MB_OK);
}

// A plug-in may pump messages inside a call (its own dialog or message
// box, owned by the caller or not). Until it returns, the window that made
// the call is out of reach and the program does not close: a second call,
// a load or an exit from there would release or re-enter the library under
// the running call.
void BeginPluginCall(HWND caller)
{
    EnableWindow(caller, FALSE);
    ++v.pluginCalls;
}

void EndPluginCall(HWND caller)
{
    --v.pluginCalls;
    EnableWindow(caller, TRUE);
    SetActiveWindow(caller);
}

void ReleasePlugin()
{
    if (v.mainWindow) {
        HMENU menu = GetMenu(v.mainWindow);
        EnableMenuItem(menu, IDM_RUN, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, IDM_SETTINGS, MF_BYCOMMAND | MF_GRAYED);
    }
    if (v.viewerPlugin) {
        FreeLibrary(v.viewerPlugin);
        v.viewerPlugin = nullptr;
    }
    if (v.viewerNames) {
        if (v.viewerNamesAddress) GlobalUnlock(v.viewerNames);
        GlobalFree(v.viewerNames);
        v.viewerNames = nullptr;
    }
    v.viewerNamesAddress = nullptr;
    v.viewerNamesSize = 0;
    v.names.count = 0;
}

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        RECT client;
        GetClientRect(window, &client);
        v.mainWindow = window;
        v.textView = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                     0, 0, client.right, client.bottom, window, nullptr, v.instance, nullptr);
        if (v.textView) {
            // A plug-in text may be far longer than an edit control takes
            // by default.
            SendMessageW(v.textView, EM_LIMITTEXT, 0, 0);
            v.textFont = MakeTextFont();
            if (v.textFont) SendMessageW(v.textView, WM_SETFONT, reinterpret_cast<WPARAM>(v.textFont), FALSE);
            ShowWindow(v.textView, SW_SHOWNORMAL);
            v.pluginFileName[0] = L'\0';
        }
        return 0;
    }
    case WM_SIZE:
        if (v.textView) {
            RECT client;
            GetClientRect(window, &client);
            MoveWindow(v.textView, 0, 0, client.right, client.bottom, TRUE);
        }
        return 0;
    case WM_CLOSE:
        // Closing now would free the library under a call still running.
        if (v.pluginCalls > 0) return 0;
        break;
    case WM_DESTROY:
        ReleasePlugin();
        if (v.viewerText) {
            GlobalFree(v.viewerText);
            v.viewerText = nullptr;
        }
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        switch (wParam) {
        case IDM_LOAD:
            DialogBoxParamW(v.instance, L"DLGLOAD", window, LoadDialogProc, 0);
            return 0;
        case IDM_RUN:
            // Greyed entries cannot be picked, but a command can still be
            // sent: without a plug-in there is nothing to list or call.
            if (v.viewerPlugin) DialogBoxParamW(v.instance, L"DLGRUN", window, RunDialogProc, 0);
            return 0;
        case IDM_ABOUT:
            DialogBoxParamW(v.instance, L"DLGABOUT", window, AboutDialogProc, 0);
            return 0;
        case IDM_EXIT:
            SendMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        case IDM_SETTINGS:
            OpenSettingsOfPlugin(window);
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int TestViewerMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showState)
{
    v.instance = instance;
    if (previous == nullptr) {
        WNDCLASSW cls = {};
        cls.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        cls.lpfnWndProc = ViewerWindowProc;
        cls.hInstance = instance;
        cls.hIcon = LoadIconW(instance, L"DUZEVAZA");
        cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        cls.lpszMenuName = L"DUZEVAZA";
        cls.lpszClassName = kViewerClass;
        if (!RegisterClassW(&cls)) return 0;
    }
    int screenW = GetSystemMetrics(SM_CXSCREEN);
    int screenH = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExW(0, kViewerClass, L"TextGenDLL TestViewer", WS_OVERLAPPEDWINDOW, screenW / 8,
                                  screenH / 8, screenW * 3 / 4, screenH * 3 / 4, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 0;
    ShowWindow(window, showState);
    UpdateWindow(window);
    MSG msg;
    int result;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (v.textFont) {
        DeleteObject(v.textFont);
        v.textFont = nullptr;
    }
    return result == 0 ? static_cast<int>(msg.wParam) : 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    return TestViewerMain(instance, previous, commandLine, showState);
}
