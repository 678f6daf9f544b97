// The show: the cycle that drives every tick, the catalogue of the words
// folder it walks, and the hand-off of each item to its presenter
// (sayings, pictures, media, plug-ins) after the opening.
#pragma once
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                                                LPARAM lParam);
void CheckComPorts();
