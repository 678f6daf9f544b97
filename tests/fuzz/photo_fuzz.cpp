// Fuzz target of the photo arithmetic: the JPEG orientation reader over an
// exact-size copy of the input (a step past it is an address-sanitizer
// finding), then the fitting and the turn of a small picture with sizes
// taken from the input. A broken promise traps.
#include "saver/pictures/photo_fit.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

uint32_t Take32(const uint8_t* data, size_t size, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | (at + i < size ? data[at + i] : 0);
    return v;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file(data, data + size);
    uint16_t orientation = ReadJpegOrientation(file.data(), file.size());
    Require(orientation >= 1 && orientation <= 8);

    uint32_t w = Take32(data, size, 0), h = Take32(data, size, 4);
    uint32_t sw = Take32(data, size, 8) & 0xFFFF, sh = Take32(data, size, 12) & 0xFFFF;
    PhotoSize fit = FitPhoto(w, h, sw, sh);
    if (w == 0 || h == 0 || sw == 0 || sh == 0) {
        Require(fit.width == 0 && fit.height == 0);
    } else {
        Require(fit.width >= 1 && fit.height >= 1 && fit.width <= sw && fit.height <= sh);
        Require(fit.width <= w && fit.height <= h);
    }
    PhotoSizeAcceptable(w, h, uint64_t(Take32(data, size, 16)) << 16);

    // A small picture turned by the orientation read from the input: every
    // pixel lands once inside the exact-size target.
    uint32_t pw = w % 17 + 1, ph = h % 13 + 1;
    PhotoTurn turn = TurnForOrientation(orientation);
    std::vector<uint32_t> from(size_t(pw) * ph), to(from.size(), 0);
    for (size_t i = 0; i < from.size(); ++i) from[i] = uint32_t(i + 1);
    TurnPixels(from.data(), pw, ph, turn, to.data());
    uint64_t sum = 0;
    for (uint32_t v : to) sum += v;
    Require(sum == uint64_t(from.size()) * (from.size() + 1) / 2);
    return 0;
}
