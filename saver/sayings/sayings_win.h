// The first tick of a saying, on its own: RenderTextItem runs it and then
// steps the transition; tests run it to look at the finished picture.
#pragma once
#include <windows.h>
#include <cstdint>

// Where the first tick put the saying (client coordinates of SourceSurface).
struct TextPlacement {
    int mainWidth, subWidth;   // w and s
    int left, top;
    int mainCx, mainCy;
    int subCx, subCy;
    uint32_t lines, subLines;
    uint32_t maxLen;
    uint16_t code;             // 0, or the message shown instead (1, 2, 998)
};

// Gets the text (mode 0: the words file named by currentPath), lays it out
// and colours it into a new SourceSurface compatible with screen.
void LayOutTextItem(HWND window, uint16_t mode, HDC screen);
const TextPlacement& LastTextPlacement();

// Lets go of SourceSurface and ends the text: textTicks 0, itemBusy 0.
void ReleaseTextPicture();

// Sets faceName to a random slot of the Font list.
void PickFont(HWND window);
