// Runs one tick of the transition engine on the window surface.
#pragma once
#include <windows.h>

int StepTransition(HDC screen, HDC source);
void ReleaseDarkSurface();
