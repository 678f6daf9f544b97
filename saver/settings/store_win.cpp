#include "saver/settings/store_win.h"

#include "saver/saver_state.h"

#include <cstring>

const char SettingsKeyPath[] = "SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\";

extern "C" {
void WINAPI GetIniSettings()
{
    g.settings.TickInterval = 100;
    g.settings.Display = 100;
    g.settings.AVIPlay = 2;
    g.settings.Opening = 0;
}
void WINAPI GetIniSettings2(HWND)
{
    g.settings.FadeCount = 1;
    g.settings.EnabledTransitions[0] = 0;
}
void WINAPI GetIniSettings3(HWND)
{
    g.settings.ColorCount = 1;
    g.settings.Color[0] = 0xFFFFFF;
}
void WINAPI GetIniSettings4(HWND) {}
void WINAPI GetIniSettings5(HWND) {}
void WINAPI GetIniSettings6(HWND)
{
    g.settings.BackCount = 3;
    g.settings.Back[0] = 0x000080;
    g.settings.Back[1] = 0x008000;
    g.settings.Back[2] = 0x800000;
}
}

LONG StoreMainSettings() { return ERROR_SUCCESS; }
LONG StoreFadeSettings() { return ERROR_SUCCESS; }
LONG StoreFontSettings() { return ERROR_SUCCESS; }
LONG StoreColorSettings() { return ERROR_SUCCESS; }
LONG StoreBackSettings() { return ERROR_SUCCESS; }
LONG StoreLimitSettings() { return ERROR_SUCCESS; }
