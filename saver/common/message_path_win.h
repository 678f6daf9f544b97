// The end of the saver window's message path, which the host owns and the
// show cycle hands every message on to.
#pragma once
#include <windows.h>

LRESULT SaverDefaultHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
