#include "saver/opening/sysinfo.h"

#include <cstdio>

namespace {
// Shift-JIS marks: "☆", "◇" and "◆".
#define STAR "\x81\x99"
#define DIAMOND "\x81\x9e"
#define BLACK_DIAMOND "\x81\x9f"
}

ListGeometry SystemInfoGeometry(int32_t w, int32_t h)
{
    ListGeometry box;
    box.x = static_cast<int32_t>(w * 0.3333333333333333 * 2);
    box.y = static_cast<int32_t>(h * 0.25 * 2);
    box.width = static_cast<int32_t>(w * 0.3333333333333333);
    box.height = static_cast<int32_t>(h * 0.25);
    return box;
}

bool CountSystemInfoCall(uint32_t* sysInfoTicks)
{
    if (*sysInfoTicks <= 60) {
        ++*sysInfoTicks;
        return false;
    }
    *sysInfoTicks = 0;
    return true;
}

int SystemInfoLines(const SystemFacts& f, char lines[kSysInfoMaxLines][kSysInfoLineSize])
{
    const int n = kSysInfoLineSize;
    std::snprintf(lines[0], n, STAR " DisplayPixels = %d * %d", static_cast<int>(f.width),
                  static_cast<int>(f.height));
    std::snprintf(lines[1], n, STAR " Memory = %lluKB, %lluKB, %lu%%",
                  static_cast<unsigned long long>(f.pageFileFreeKB),
                  static_cast<unsigned long long>(f.physicalFreeKB), static_cast<unsigned long>(f.memoryLoad));
    std::snprintf(lines[2], n, STAR " KelmoraFileCount = %lu", static_cast<unsigned long>(f.fileCount));
    std::snprintf(lines[3], n, "   (.txt=%u .bmp=%u .wav=%u", unsigned{f.kindCounts[0]},
                  unsigned{f.kindCounts[1]}, unsigned{f.kindCounts[3]});
    std::snprintf(lines[4], n, "    .mid=%u .avi=%u .dll=%u)", unsigned{f.kindCounts[2]},
                  unsigned{f.kindCounts[4]}, unsigned{f.kindCounts[5]});
    std::snprintf(lines[5], n, DIAMOND " AVI Play = %lu", static_cast<unsigned long>(f.aviPlay));
    std::snprintf(lines[6], n, DIAMOND " FadeCount = %u / ColorCount = %u", unsigned{f.fadeCount},
                  unsigned{f.colorCount});
    if (f.portsChosen != 1) return 7;
    std::snprintf(lines[7], n, "%s", f.portsFree == 1 ? DIAMOND " COM No Used" : BLACK_DIAMOND " COM Used   ");
    return 8;
}
