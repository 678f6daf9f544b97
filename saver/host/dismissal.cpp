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

bool PasswordSwitchOn(PasswordSwitchKind kind, const uint8_t* value, size_t size)
{
    if (kind == kSwitchNumber) {
        for (size_t i = 0; i < size; ++i)
            if (value[i] != 0) return true;
        return false;
    }
    // The text ends at its first NUL unit, or with the value when it was
    // stored without one; an odd last byte is no whole unit.
    size_t units = 0;
    while (units < size / 2 && (value[2 * units] | value[2 * units + 1]) != 0) ++units;
    if (units == 0) return false;
    return !(units == 1 && value[0] == '0' && value[1] == 0);
}
