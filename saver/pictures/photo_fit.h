// The arithmetic of photographs (JPEG, PNG, GIF) apart from their decoding:
// how large a photo may be before it is decoded at all, how it is fitted to
// the screen, how a camera's orientation tag turns it upright, and where in
// a JPEG that tag lies.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kPhotoBytesPerPixel = 4,            // decoded as 32-bit BGRA
    kPhotoOrientationTag = 274,         // EXIF / TIFF "Orientation"
    kPhotoHeadBytes = 65536 + 4,        // SOI plus one whole APP1 segment at most
};

// The decoder holds the whole picture at 32 bits per pixel while it is being
// scaled, so a photo is refused before decoding when that much memory cannot
// be had, or when it would pass this ceiling: a gigabyte of pixels is far
// beyond any camera and is no picture for a screen saver.
const uint64_t kPhotoLargestDecode = uint64_t(1) << 30;

// True when a width x height photo may be decoded with at most `available`
// bytes of memory; false for a zero side. Computed without overflow for any
// 32-bit sides.
bool PhotoSizeAcceptable(uint32_t width, uint32_t height, uint64_t available);

struct PhotoSize {
    uint32_t width;
    uint32_t height;
};

// A photo that fits the screen keeps its natural size; a larger one is
// scaled down to fit whole, keeping its proportions (sides rounded to the
// nearest pixel, never 0, never beyond the screen). Zero sides give 0 x 0.
PhotoSize FitPhoto(uint32_t width, uint32_t height, uint32_t screenWidth, uint32_t screenHeight);

// How to turn the stored pixels so that the picture stands as the camera
// meant: first rotate clockwise by quarterTurns x 90 degrees, then mirror
// left-right when mirror is set. Orientations are 1 to 8; any other value is
// taken as 1 (stored upright).
struct PhotoTurn {
    uint8_t quarterTurns;   // 0 to 3
    bool mirror;
};
PhotoTurn TurnForOrientation(uint16_t orientation);

// The size after the turn: a quarter or three-quarter turn swaps the sides.
PhotoSize TurnedSize(PhotoSize stored, PhotoTurn turn);

// Turns width x height 32-bit pixels (rows top-down, no padding) from `from`
// into `to`, which holds the same number of pixels laid out in the turned
// size. The two must not overlap.
void TurnPixels(const uint32_t* from, uint32_t width, uint32_t height, PhotoTurn turn, uint32_t* to);

// Lays each BGRA pixel (straight alpha) over the background colour given as
// 0x00RRGGBB, leaving opaque pixels. Transparent parts of a PNG or GIF show
// the item's background, as the rest of the screen does.
void BlendOverBackground(uint32_t* pixels, size_t count, uint32_t background);

// True when no pixel of count lets anything through (alpha 255 each).
bool AllOpaque(const uint32_t* pixels, size_t count);

// The orientation tag of a JPEG from the first bytes of its file (up to
// kPhotoHeadBytes are needed): 1 to 8, or 1 when the file has no EXIF
// segment, the tag is missing, malformed or out of range.
uint16_t ReadJpegOrientation(const uint8_t* data, size_t size);
