#pragma once
#include <windows.h>

extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                          WPARAM wParam, LPARAM lParam);
