// Which input ends the saver.
#pragma once
#include <cstdint>

// Sum of the absolute horizontal and vertical differences, unsigned.
uint32_t CursorDistance(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY);

// True when a cursor at (x, y) has moved far enough from the anchor to wake.
bool MoveWakes(int32_t x, int32_t y, int32_t anchorX, int32_t anchorY, uint32_t threshold);
