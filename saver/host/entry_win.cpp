// Process entry of the saver module.
#include <windows.h>

#include "saver/host/command_line.h"
#include "saver/host/host_win.h"
#include "saver/host/text932_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The arguments handed to us are ignored: the raw command line is read
    // and turned into Shift-JIS bytes through the one conversion module.
    static char commandLine[32768];
    if (NarrowTo932(GetCommandLineW(), -1, commandLine, sizeof commandLine) < 0) commandLine[0] = '\0';
    ExitProcess(static_cast<UINT>(SaverMain(instance, ArgumentText(commandLine))));
}
