// Reading the command line the screen-saver control panel starts us with.
#pragma once
#include <cstdint>

// Skips the program name (quoted or not) and the blanks after it; what is
// left is the argument text. Steps by whole Shift-JIS characters.
const char* ArgumentText(const char* commandLine);

// Decimal digits from the start of the text; no sign, no hex. A number too
// large for a window handle gives 0, which no window has.
uintptr_t ParseWindowHandle(const char* text);

enum SaverMode {
    ModeConfigure,        // no option: the dialog without an owner
    ModeConfigureOwned,   // c: owned by the foreground window
    ModeChangePassword,   // a
    ModePreview,          // p or l with a window handle
    ModeRun,              // s
    ModeUnknown,          // anything else
};

struct SaverCommand {
    SaverMode mode;
    uintptr_t handle;   // preview parent
    const char* rest;   // for a: the text after the letter and its blanks
};

SaverCommand ParseSaverCommand(const char* argumentText);
