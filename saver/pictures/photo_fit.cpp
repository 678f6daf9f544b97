#include "saver/pictures/photo_fit.h"

namespace {
uint16_t Read16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

uint32_t Read32(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                     : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// The orientation in a TIFF structure (the body of an EXIF segment): the
// first directory only, where cameras put it; 0 when it is not there.
uint16_t TiffOrientation(const uint8_t* tiff, size_t size)
{
    if (size < 8) return 0;
    bool bigEndian;
    if (tiff[0] == 'I' && tiff[1] == 'I') bigEndian = false;
    else if (tiff[0] == 'M' && tiff[1] == 'M') bigEndian = true;
    else return 0;
    if (Read16(tiff + 2, bigEndian) != 42) return 0;
    uint32_t directory = Read32(tiff + 4, bigEndian);
    if (directory > size || size - directory < 2) return 0;
    uint32_t entries = Read16(tiff + directory, bigEndian);
    size_t first = size_t(directory) + 2;
    if ((size - first) / 12 < entries) entries = static_cast<uint32_t>((size - first) / 12);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = tiff + first + size_t(i) * 12;
        if (Read16(entry, bigEndian) != kPhotoOrientationTag) continue;
        const uint16_t kShort = 3;
        if (Read16(entry + 2, bigEndian) != kShort || Read32(entry + 4, bigEndian) != 1) return 0;
        return Read16(entry + 8, bigEndian);   // a single short sits in the value field
    }
    return 0;
}
}

bool PhotoSizeAcceptable(uint32_t width, uint32_t height, uint64_t available)
{
    if (width == 0 || height == 0) return false;
    uint64_t limit = available < kPhotoLargestDecode ? available : kPhotoLargestDecode;
    // Both sides are below 2^32, so the pixel count cannot overflow; the
    // byte count is compared by division instead of being multiplied out.
    uint64_t pixels = uint64_t(width) * height;
    return pixels <= limit / kPhotoBytesPerPixel;
}

PhotoSize FitPhoto(uint32_t width, uint32_t height, uint32_t screenWidth, uint32_t screenHeight)
{
    if (width == 0 || height == 0 || screenWidth == 0 || screenHeight == 0) return {0, 0};
    if (width <= screenWidth && height <= screenHeight) return {width, height};
    PhotoSize fitted;
    // The side that overflows the screen more sets the scale; the other is
    // rounded to the nearest pixel.
    if (uint64_t(width) * screenHeight >= uint64_t(height) * screenWidth) {
        fitted.width = screenWidth;
        uint64_t h = (uint64_t(height) * screenWidth + width / 2) / width;
        fitted.height = h == 0 ? 1 : h > screenHeight ? screenHeight : static_cast<uint32_t>(h);
    } else {
        fitted.height = screenHeight;
        uint64_t w = (uint64_t(width) * screenHeight + height / 2) / height;
        fitted.width = w == 0 ? 1 : w > screenWidth ? screenWidth : static_cast<uint32_t>(w);
    }
    return fitted;
}

PhotoTurn TurnForOrientation(uint16_t orientation)
{
    switch (orientation) {
    case 2: return {0, true};
    case 3: return {2, false};
    case 4: return {2, true};
    case 5: return {1, true};
    case 6: return {1, false};
    case 7: return {3, true};
    case 8: return {3, false};
    default: return {0, false};
    }
}

PhotoSize TurnedSize(PhotoSize stored, PhotoTurn turn)
{
    if (turn.quarterTurns % 2 == 1) return {stored.height, stored.width};
    return stored;
}

void TurnPixels(const uint32_t* from, uint32_t width, uint32_t height, PhotoTurn turn, uint32_t* to)
{
    PhotoSize turned = TurnedSize({width, height}, turn);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t tx, ty;
            switch (turn.quarterTurns % 4) {
            case 1: tx = height - 1 - y, ty = x; break;
            case 2: tx = width - 1 - x, ty = height - 1 - y; break;
            case 3: tx = y, ty = width - 1 - x; break;
            default: tx = x, ty = y; break;
            }
            if (turn.mirror) tx = turned.width - 1 - tx;
            to[size_t(ty) * turned.width + tx] = from[size_t(y) * width + x];
        }
    }
}

void BlendOverBackground(uint32_t* pixels, size_t count, uint32_t background)
{
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = pixels[i];
        uint32_t alpha = p >> 24;
        if (alpha == 255) continue;
        uint32_t blended = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t c = (p >> shift) & 0xFF;
            uint32_t b = (background >> shift) & 0xFF;
            blended |= ((c * alpha + b * (255 - alpha) + 127) / 255) << shift;
        }
        pixels[i] = blended;
    }
}

bool AllOpaque(const uint32_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (pixels[i] >> 24 != 0xFF) return false;
    return true;
}

uint16_t ReadJpegOrientation(const uint8_t* data, size_t size)
{
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return 1;
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return 1;
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) {   // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;   // markers without a length
            continue;
        }
        // The image data begins (or ends) here; the tag comes before it.
        if (marker == 0xDA || marker == 0xD9) return 1;
        size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2) return 1;
        const uint8_t* body = data + at + 4;
        size_t bodySize = length - 2;
        if (bodySize > size - (at + 4)) bodySize = size - (at + 4);
        static const uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && bodySize >= 6) {
            bool exif = true;
            for (int i = 0; i < 6; ++i) exif = exif && body[i] == kExif[i];
            if (exif) {
                uint16_t orientation = TiffOrientation(body + 6, bodySize - 6);
                return orientation >= 1 && orientation <= 8 ? orientation : 1;
            }
        }
        at += 2 + length;
    }
    return 1;
}
