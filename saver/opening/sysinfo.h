// The system information list: where it sits, how long it stays and the
// lines it shows, without the platform.
#pragma once
#include <cstdint>

enum {
    kSysInfoMaxLines = 8,
    kSysInfoLineSize = 96,
};

struct ListGeometry {
    int32_t x, y, width, height;
};
// Lower right: a third of the width and a quarter of the height, worked out
// in doubles and truncated.
ListGeometry SystemInfoGeometry(int32_t w, int32_t h);

// One call of the list's step once the list exists: counts it and says
// whether the list must be taken down now (the 62nd call).
bool CountSystemInfoCall(uint32_t* sysInfoTicks);

struct SystemFacts {
    int32_t width, height;
    uint64_t pageFileFreeKB;     // available page file, bytes >> 10
    uint64_t physicalFreeKB;     // available physical memory, bytes >> 10
    uint32_t memoryLoad;         // percent
    uint32_t fileCount;
    uint16_t kindCounts[6];      // kinds 1 .. 6
    uint32_t aviPlay;
    uint16_t fadeCount;
    uint16_t colorCount;
    uint32_t portsChosen;
    uint32_t portsFree;
};

// Fills the lines as Shift-JIS text and gives their count: 7, or 8 when a
// COM port is watched.
int SystemInfoLines(const SystemFacts& facts, char lines[kSysInfoMaxLines][kSysInfoLineSize]);
