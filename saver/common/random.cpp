#include "saver/common/random.h"

namespace {
uint32_t randomState = 1;
// Just under 1/32767, so that r = 32767 never reaches count.
const double kRandomScale = 3.0518416338339375e-05;
}

void SeedRandom(uint32_t seed) { randomState = seed; }

int NextRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

uint16_t ScaleRandom(int r, uint16_t count)
{
    return static_cast<uint16_t>(static_cast<double>(r) * kRandomScale * count);
}

uint16_t RandomIndex(uint16_t count)
{
    return ScaleRandom(NextRandom(), count);
}
