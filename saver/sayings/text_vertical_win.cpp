// Sayings set down the screen. The platform's vertical faces (the face name
// with "@" before it, written turned a quarter clockwise) take the vertical
// forms from the font itself: 、。 in the upper right of their cell, brackets,
// the long vowel mark, 〜 and … turned, small kana in their place, and
// half-width letters and digits running turned. The columns' places are the
// portable rules'; this file only measures and draws them.
#include "saver/sayings/text_picture_win.h"

#include "common/cp932.h"
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/text_columns.h"
#include "saver/sayings/text_layout.h"

#include <cstring>

namespace {
// The text runs down the screen: the baseline turned a quarter clockwise,
// in tenths of a degree.
const LONG kDownTheScreen = 2700;

ColumnBlock lastBlock;

HFONT MakeColumnFont(const FontRequest& r)
{
    LOGFONTW lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = r.height;
    lf.lfWidth = r.width;
    lf.lfEscapement = kDownTheScreen;
    lf.lfOrientation = kDownTheScreen;
    lf.lfWeight = r.weight;
    lf.lfCharSet = r.charSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = r.pitchAndFamily;
    Wide932 face;
    WideFrom932(&face, g.faceName, -1);
    lf.lfFaceName[0] = L'@';
    int n = face.length < LF_FACESIZE - 2 ? face.length : LF_FACESIZE - 2;
    std::memcpy(lf.lfFaceName + 1, face.text, n * sizeof(wchar_t));
    FreeWide932(&face);
    return CreateFontIndirectW(&lf);
}

int FontThickness(HDC dc, HFONT font)
{
    TEXTMETRICW metrics;
    if (font == nullptr) return 0;
    SelectObject(dc, font);
    return GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
}

// Nothing past twice the height in bytes can reach the picture; the cut
// ends on a whole character.
int ColumnBytes(const char* text, uint32_t bytes)
{
    uint32_t n = DrawableBytes(bytes, g.clientRect.bottom);
    if (n < bytes) n = static_cast<uint32_t>(WholeCharBytes932(text, n));
    return static_cast<int>(n);
}

int LengthOf(void*, const char* text, uint32_t bytes, bool sub)
{
    HDC dc = g.SourceSurface.dc;
    SIZE size = {0, 0};
    int n = ColumnBytes(text, bytes);
    if (n == 0) return 0;
    SelectObject(dc, sub ? g.subFont : g.mainFont);
    TextExtent932(dc, text, n, &size);
    return size.cx;
}

// The text turned clockwise has its top, where TextOut places it, on the
// column's right edge.
void DrawColumn(void*, const char* text, uint32_t bytes, bool sub, int x, int y)
{
    HDC dc = g.SourceSurface.dc;
    SelectObject(dc, sub ? g.subFont : g.mainFont);
    TextOut932(dc, x + (sub ? lastBlock.subThickness : lastBlock.mainThickness), y, text, ColumnBytes(text, bytes));
}
}

const ColumnBlock& LastColumnBlock() { return lastBlock; }

void LayOutColumns(HWND window, HDC screen, const char* text, uint32_t length, TextPlacement* placement)
{
    const int width = g.clientRect.right;
    const int height = g.clientRect.bottom;
    TextBand band = {};
    lastBlock = ColumnBlock();
    ColumnBlock& block = lastBlock;
    TextMeasure measure;
    MeasureText(text, length, &measure);
    placement->lines = measure.lines;
    placement->subLines = measure.subLines;
    placement->maxLen = measure.maxLen;

    PickFont(window);
    SizeColumnFonts(height, measure, &block);
    placement->mainWidth = block.mainWidth;
    placement->subWidth = block.subWidth;
    DeleteGdiObject(g.mainFont);
    DeleteGdiObject(g.subFont);
    g.mainFont = MakeColumnFont(MainFontRequest(block.mainWidth));
    g.subFont = MakeColumnFont(SubFontRequest(block.subWidth));
    TakeTextPicture(screen, width, height);

    HDC dc = g.SourceSurface.dc;
    if (dc) {
        const ColumnSeam seam = {nullptr, LengthOf, DrawColumn};
        block.mainThickness = FontThickness(dc, g.mainFont);
        block.subThickness = FontThickness(dc, g.subFont);
        PlaceColumnBlock(text, measure, width, height, seam, &block);
        ColumnReach reach = WalkColumns(text, length, block, seam, false);
        // A glyph may reach a little past its cell: a quarter column.
        const RECT columns = {reach.left, block.top, block.right, reach.bottom};
        ClearTextPicture(screen, width, height, columns, block.mainThickness / 4 + 2, &band);
        WalkColumns(text, length, block, seam, true);

        placement->left = reach.left;
        placement->top = block.top;
        placement->mainCx = block.mainLength;
        placement->mainCy = block.mainThickness;
        placement->subCy = block.subThickness;
    }
    FinishTextPicture(screen, width, height, band);
}
