// Which input ends the saver.
#pragma once
#include <cstdint>

// Sum of the absolute horizontal and vertical differences, unsigned.
uint32_t CursorDistance(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY);

// True when a cursor at (x, y) has moved far enough from the anchor to wake.
bool MoveWakes(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY, uint32_t threshold);

// The screen-saver password is asked at most once in this many
// milliseconds: a refused prompt is followed by the mouse move that
// dismissed it, which must not bring the prompt straight back.
enum : uint32_t { kPasswordPromptGap = 200, kNeverChecked = 0xFFFFFFFFu };

// True when a close request at tick count now may prompt again after the
// prompt that ended at lastCheck. The tick count wraps every 49.7 days, so
// the unsigned difference decides, never the order of the two counts.
bool PasswordPromptDue(uint32_t lastCheck, uint32_t now);
