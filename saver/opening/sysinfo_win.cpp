// The system information list near the end of the opening.
#include "saver/opening/sysinfo.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/opening/opening_win.h"

namespace {
SystemFacts GatherFacts()
{
    SystemFacts f = {};
    f.width = g.clientRect.right;
    f.height = g.clientRect.bottom;
    // The extended form, so that machines with more than 4 GiB are counted right.
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory)) {
        f.pageFileFreeKB = memory.ullAvailPageFile >> 10;
        f.physicalFreeKB = memory.ullAvailPhys >> 10;
        f.memoryLoad = memory.dwMemoryLoad;
    }
    f.fileCount = g.catalogue.count;
    for (int i = 0; i < 6; ++i) f.kindCounts[i] = g.kindCounts[i];
    f.aviPlay = g.settings.AVIPlay;
    f.fadeCount = g.settings.FadeCount;
    f.colorCount = g.settings.ColorCount;
    f.portsChosen = g.portsChosen;
    f.portsFree = g.portsFree;
    return f;
}

bool OpenList(HWND window)
{
    ListGeometry box = SystemInfoGeometry(g.clientRect.right, g.clientRect.bottom);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"System Information", WS_CHILD | WS_THICKFRAME, box.x, box.y,
                                box.width, box.height, window, nullptr, g.instance, nullptr);
    if (list == nullptr) return false;
    g.sysInfoWindow = list;
    ShowWindow(list, SW_SHOW);
    char lines[kSysInfoMaxLines][kSysInfoLineSize];
    int count = SystemInfoLines(GatherFacts(), lines);
    for (int i = 0; i < count; ++i) ListBoxAdd932(list, lines[i]);
    return true;
}
}

void SystemInfoStep(HWND window)
{
    if (g.sysInfoTicks == 0) {
        CloseSystemInfo();
        // Not this time: the next call tries again.
        if (!OpenList(window)) return;
    }
    if (CountSystemInfoCall(&g.sysInfoTicks)) CloseSystemInfo();
}

void CloseSystemInfo()
{
    if (g.sysInfoWindow) DestroyWindow(g.sysInfoWindow);
    g.sysInfoWindow = nullptr;
    g.sysInfoTicks = 0;
}
