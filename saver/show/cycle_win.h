// The show cycle: the exported content procedure of the saver window.
#pragma once
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                                                LPARAM lParam);
void LoadStartupStrings();
void CheckComPorts();
