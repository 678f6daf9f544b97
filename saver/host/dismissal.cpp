#include "saver/host/dismissal.h"

uint32_t CursorDistance(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY)
{
    // Differences in 64 bits: screen coordinates far apart must not wrap
    // into a small distance.
    int64_t dx = static_cast<int64_t>(x) - anchorX;
    int64_t dy = static_cast<int64_t>(y) - anchorY;
    uint64_t d = static_cast<uint64_t>(dx < 0 ? -dx : dx) + static_cast<uint64_t>(dy < 0 ? -dy : dy);
    return d > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(d);
}

bool MoveWakes(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY, uint32_t threshold)
{
    return CursorDistance(x, y, anchorX, anchorY) > threshold;
}

bool PasswordPromptDue(uint32_t lastCheck, uint32_t now)
{
    return lastCheck == kNeverChecked || static_cast<uint32_t>(now - lastCheck) >= kPasswordPromptGap;
}
