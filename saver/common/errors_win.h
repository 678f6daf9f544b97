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
