// Process entry of the saver module.
#include <windows.h>

#include "saver/host/command_line.h"
#include "saver/host/host_win.h"
#include "common/text932_win.h"

// The platform's screen-saver list names a module by the description text
// "SCRNSAVE:" and the display name (ミルカナ, Shift-JIS) found in its image;
// string 1 of the string table carries the same name.
extern "C" __attribute__((used)) const char SaverDescription[] = "SCRNSAVE:\x83\x7e\x83\x8b\x83\x4a\x83\x69";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The arguments handed to us are ignored: the raw command line is read
    // and turned into Shift-JIS bytes through the one conversion module.
    static char commandLine[32768];
    if (NarrowTo932(GetCommandLineW(), -1, commandLine, sizeof commandLine) < 0) commandLine[0] = '\0';
    ExitProcess(static_cast<UINT>(SaverMain(instance, ArgumentText(commandLine))));
}
