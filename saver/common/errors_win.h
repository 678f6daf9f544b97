// What every part of the saver stands on: numbered messages (here), the
// random source, the kinds of words-folder files, the state record's
// helpers and the end of the window's message path. Nothing here includes
// a subsystem's folder.
//
// Numbered messages: "Em" and three digits, then the text.
#pragma once
#include <windows.h>

enum ReportMode {
    ReturnOnly = 0,
    DrawOnItemSurface = 2,
    DrawOnWindow = 3,
    ShowMessageBox = 4,
};

// Gives g.errorText, which the next call clears.
const char* ReportError(HWND owner, int code, int mode);
