// Which input ends the saver.
#pragma once
#include <cstddef>
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

// Whether the platform's "use a password" switch is on, from the whole
// stored value: a number (any nonzero byte), or a text of UTF-16 units,
// which is off only when empty or "0". Doubt protects: failing open would
// let anyone past the saver.
enum PasswordSwitchKind { kSwitchNumber, kSwitchText };
bool PasswordSwitchOn(PasswordSwitchKind kind, const uint8_t* value, size_t size);
