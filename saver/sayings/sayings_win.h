// Sayings: words files read in their encodings, laid out to fill the
// screen, coloured and handed to the transitions. Plug-in texts are shown
// through the same face.
#pragma once
#include <windows.h>
#include <cstdint>

// Every tick of a text item; mode 0 reads the words file named by
// currentPath, mode 1 shows the plug-in text already in textBuffer.
void RenderTextItem(HWND window, uint16_t mode);

// The whole words file into g.textBuffer; 0, or the message code.
uint16_t ReadWordsFile(HWND window, const wchar_t* path);

// The first tick of a saying, on its own: RenderTextItem runs it and then
// steps the transition; tests run it to look at the finished picture.

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

// What sayings keep from one to the next (the engine that draws Unicode
// text and its answers about fonts), let go of at the end of the show.
void ReleaseTextEngine();

// Sets faceName to a random slot of the Font list.
void PickFont(HWND window);
