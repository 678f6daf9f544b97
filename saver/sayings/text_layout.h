// Sizes and places a saying on a W x H picture. Sizes come from byte
// counts: the longest line fills about four fifths of the width.
#pragma once
#include <cstdint>

enum {
    // Character width used when the longest line has more bytes than 0.8 W
    // pixels: about the platform's ordinary text size, so that the start of
    // the line can still be read before the right edge cuts it.
    kFallbackCharWidth = 6,
    kMainCharSet = 128,       // Shift-JIS
    kMainPitchFamily = 48,    // modern family, default pitch
    kSubCharSet = 176,
    kSubPitchFamily = 0,
    kTextWeight = 400,
};

// The count to pick a face from: FontCount kept within the 30 slots of the
// table (a negative count is none).
uint16_t UsableFontCount(int32_t fontCount, int32_t slots);

struct FontRequest {
    int height;
    int width;
    int weight;
    uint8_t charSet;
    uint8_t pitchAndFamily;
};

// The byte length the font is sized to: the longest ordinary line; without
// any ordinary byte, the longest sub-line text; without that either, 1
// (nothing is drawn then, the size only has to be valid).
uint32_t SizingLength(uint32_t maxLen, uint32_t longestSubLen);

// w: trunc(0.8 x W) / sizingLength, or kFallbackCharWidth when that is 0.
int MainCharWidth(int clientWidth, uint32_t sizingLength);

// s: (w / 3) x 2, at most W / 30.
int SubCharWidth(int clientWidth, int mainWidth);

FontRequest MainFontRequest(int mainWidth);
FontRequest SubFontRequest(int subWidth);

// Left edge of the block: W/2 - mainCx/2, never negative.
int BlockLeft(int clientWidth, int mainCx);

// Top edge: centred, or 0 when the lines are taller than the picture.
int BlockTop(int clientHeight, uint32_t lines, uint32_t subLines, int mainCy, int subCy);

// Where a right sub line starts: flush with the right end of the longest
// line, or at left when the sub text is the wider.
int RightSubX(int left, int mainCx, int subCx);

// How many bytes of a line are worth handing to the platform: every byte
// of a drawn character is at least a pixel wide, so nothing past 2 W bytes
// can reach the picture. Lines that fit the sizing rule are never cut.
uint32_t DrawableBytes(uint32_t length, int clientWidth);
