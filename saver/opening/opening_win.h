// The opening: the little animation, the title and credit typed out, and
// the system-information list near its end, before the first item.
#pragma once
#include <windows.h>

void OpeningStep(HWND window);                       // one tick of the opening
void SystemInfoStep(HWND window);                    // the list near the opening's end
void CloseSystemInfo();                              // takes the list down if it is up
