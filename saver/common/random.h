// The saver's one pseudo-random source: the classic 15-bit linear
// congruential generator, so a run seeded with the same second repeats.
#pragma once
#include <cstdint>

void SeedRandom(uint32_t seed);
int NextRandom();                     // 0 .. 32767
uint16_t RandomIndex(uint16_t count); // 0 .. count - 1; 0 when count is 0
uint16_t ScaleRandom(int r, uint16_t count);
