// KELMGDBG's one process-wide record: the plug-in under test, what it has
// handed over, and the windows that show it. Everything starts at zero.
#pragma once
#include <windows.h>

#include "common/textgen_names.h"
#include "viewer/plugin_blocks.h"

struct ViewerState {
    HINSTANCE instance;
    HWND mainWindow;
    HWND textView;
    HFONT textFont;
    HMODULE viewerPlugin;
    HGLOBAL viewerNames;          // locked while the plug-in is loaded
    const char* viewerNamesAddress;
    unsigned short viewerNamesSize;
    HGLOBAL viewerText;           // held only while a text is being shown
    char pluginFileName[128];     // kept between loads for the load dialog
    // Folder of the last file picked with the browse button: a bare name
    // in the name box is looked for there, never on the library search path.
    wchar_t browseFolder[MAX_PATH];
    ProcNameWalk names;           // every entry of the block, copied at load
    int pluginCalls;              // plug-in calls still running
};

extern ViewerState v;

const char kViewerCaption[] = "TextGenDLL TestViewer";

int TestViewerMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);
LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LoadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Releases the plug-in and its names block and greys the entries that
// need them. Safe to call with nothing loaded.
void ReleasePlugin();
void ShowViewerMessage(HWND owner, UINT textId);
// Around every call into the plug-in, with the window that makes it.
void BeginPluginCall(HWND caller);
void EndPluginCall(HWND caller);
