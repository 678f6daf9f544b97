// The picture of a saying's first tick, whichever way its lines run: taken,
// cleared for white text on black, and coloured once the text is drawn.
#pragma once
#include <windows.h>

#include "saver/sayings/sayings_win.h"
#include "saver/sayings/text_columns.h"

#include <cstdint>

// How the picture is coloured, and the part of it that holds the text.
struct TextBand {
    bool byBrushes;
    LOGBRUSH background;
    RECT area;
};

// SourceSurface for this saying, width x height, with mainFont selected (a
// picture left from an item cut short is parked first and serves again).
void TakeTextPicture(HDC screen, int width, int height);

// The text will lie within the rectangle text; a glyph may reach margin
// past it. That area is cleared to black and the rest of the picture to the
// background (all of it black where the colouring needs a mask); text is
// then drawn white and transparent. Only that area is coloured afterwards.
void ClearTextPicture(HDC screen, int width, int height, const RECT& text, int margin, TextBand* band);

// After drawing: both fonts released, the picture coloured; gives the text
// colour. The text itself is the caller's to release.
COLORREF FinishTextPicture(HDC screen, int width, int height, const TextBand& band);

// A saying set down the screen in columns, from reading the text on; the
// vertical drawing's own file lays it out. units, when not null, are the
// UTF-16 text of a Unicode words file, and text is then unused.
void LayOutColumns(HWND window, HDC screen, const char* text, const char16_t* units, uint32_t length,
                   TextPlacement* placement);
// Where the last saying set down the screen put its columns.
const ColumnBlock& LastColumnBlock();
