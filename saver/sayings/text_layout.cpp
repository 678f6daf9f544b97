#include "saver/sayings/text_layout.h"

uint16_t UsableFontCount(int32_t fontCount, int32_t slots)
{
    if (fontCount < 0) return 0;
    if (fontCount > slots) fontCount = slots;
    return static_cast<uint16_t>(fontCount);
}

uint32_t SizingLength(uint32_t maxLen, uint32_t longestSubLen)
{
    if (maxLen != 0) return maxLen;
    if (longestSubLen != 0) return longestSubLen;
    return 1;
}

int MainCharWidth(int clientWidth, uint32_t sizingLength)
{
    if (clientWidth <= 0) return kFallbackCharWidth;
    if (sizingLength == 0) sizingLength = 1;
    int span = static_cast<int>(0.8 * clientWidth);
    int w = static_cast<int>(static_cast<uint32_t>(span) / sizingLength);
    return w > 0 ? w : kFallbackCharWidth;
}

int SubCharWidth(int clientWidth, int mainWidth)
{
    int s = (mainWidth / 3) * 2;
    int cap = clientWidth / 30;
    return s > cap ? cap : s;
}

FontRequest MainFontRequest(int mainWidth)
{
    FontRequest r;
    r.height = 2 * mainWidth;
    r.width = mainWidth;
    r.weight = kTextWeight;
    r.charSet = kMainCharSet;
    r.pitchAndFamily = kMainPitchFamily;
    return r;
}

FontRequest SubFontRequest(int subWidth)
{
    FontRequest r;
    r.height = 2 * subWidth;
    r.width = subWidth;
    r.weight = kTextWeight;
    r.charSet = kSubCharSet;
    r.pitchAndFamily = kSubPitchFamily;
    return r;
}

int BlockLeft(int clientWidth, int mainCx)
{
    int left = clientWidth / 2 - mainCx / 2;
    return left < 0 ? 0 : left;
}

int BlockTop(int clientHeight, uint32_t lines, uint32_t subLines, int mainCy, int subCy)
{
    if (subLines > lines) subLines = lines;
    int64_t total = static_cast<int64_t>(lines - subLines) * mainCy + static_cast<int64_t>(subLines) * subCy;
    if (total > clientHeight) return 0;
    return clientHeight / 2 - static_cast<int>(total) / 2;
}

int RightSubX(int left, int mainCx, int subCx)
{
    return subCx > mainCx ? left : left + mainCx - subCx;
}

uint32_t DrawableBytes(uint32_t length, int clientWidth)
{
    uint32_t limit = clientWidth > 0 ? 2u * static_cast<uint32_t>(clientWidth) + 64u : 64u;
    return length < limit ? length : limit;
}
