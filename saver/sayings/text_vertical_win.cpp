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
#include "saver/sayings/text_clusters.h"
#include "saver/sayings/text_columns.h"
#include "saver/sayings/text_layout.h"
#include "saver/sayings/text_unicode_win.h"

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

// A Unicode column: what the vertical face has goes through GDI, which
// gives it its vertical forms; a cluster it cannot draw (a surrogate pair,
// which GDI splits, or a character the face lacks) goes through DirectWrite
// with its fallback: a full-width cluster upright in a square cell, a
// half-width one turned like the face's own letters. The DirectWrite pass
// copies its whole area over the picture, so it comes first and the face's
// runs are laid over it.
enum ColumnPass { Measuring, DrawingFallback, DrawingFace };
ColumnPass pass = Measuring;
bool unicodeFaces = false;
int fullCell[kUnicodeSlots];

bool FaceDraws(HDC dc, const char16_t* cluster, uint32_t units)
{
    WORD glyphs[8];
    if (!unicodeFaces) return true;
    if (units > 8) return false;
    for (uint32_t i = 0; i < units; ++i)
        if (cluster[i] >= 0xD800 && cluster[i] < 0xE000) return false;
    if (GetGlyphIndicesW(dc, AsWide(cluster), static_cast<int>(units), glyphs, GGI_MARK_NONEXISTING_GLYPHS) !=
        units)
        return false;
    for (uint32_t i = 0; i < units; ++i)
        if (glyphs[i] == 0xFFFF) return false;
    return true;
}

int FaceRun(HDC dc, const char16_t* text, uint32_t units, int x, int y)
{
    SIZE size = {0, 0};
    if (units == 0) return 0;
    if (pass == DrawingFace) TextOutW(dc, x, y, AsWide(text), static_cast<int>(units));
    GetTextExtentPoint32W(dc, AsWide(text), static_cast<int>(units), &size);
    return size.cx;
}

// Walks a column's clusters from y down, drawing what the pass draws;
// gives the column's length.
int WalkColumnUnits(const char16_t* text, uint32_t length, bool sub, int x, int y)
{
    HDC dc = g.SourceSurface.dc;
    SelectObject(dc, sub ? g.subFont : g.mainFont);
    const UnicodeFontSlot slot = sub ? UnicodeSub : UnicodeMain;
    const int thickness = sub ? lastBlock.subThickness : lastBlock.mainThickness;
    uint32_t n = DrawableBytes(length, g.clientRect.bottom);
    if (n < length) n = WholeClusterUnits(text, length, n);
    int along = 0;
    uint32_t run = 0;
    for (uint32_t at = 0; at < n;) {
        uint32_t first = 0;
        const uint32_t end = ClusterEnd(text, n, at, &first);
        if (FaceDraws(dc, text + at, end - at)) {
            at = end;
            continue;
        }
        along += FaceRun(dc, text + run, at - run, x + thickness, y + along);
        // A full-width cluster stands upright in its square cell; a
        // half-width one runs turned as the face's letters do, as long as
        // it is wide.
        const bool upright = ClusterWidth(first, ShiftJisBytes932) > 1;
        const SIZE size = UnicodeExtent(slot, text + at, end - at);
        const int cell = upright ? fullCell[slot] : size.cx;
        if (pass == DrawingFallback && upright)
            DrawUnicodeLine(slot, x + (thickness - size.cx) / 2, y + along + (cell - size.cy) / 2, text + at,
                            end - at);
        else if (pass == DrawingFallback)
            DrawUnicodeLine(slot, x + thickness, y + along, text + at, end - at, true);
        along += cell;
        at = run = end;
    }
    return along + FaceRun(dc, text + run, n - run, x + thickness, y + along);
}

int LengthOfUnits(void*, const char16_t* text, uint32_t units, bool sub)
{
    const ColumnPass drawing = pass;
    pass = Measuring;
    const int length = WalkColumnUnits(text, units, sub, 0, 0);
    pass = drawing;
    return length;
}

void DrawColumnUnits(void*, const char16_t* text, uint32_t units, bool sub, int x, int y)
{
    WalkColumnUnits(text, units, sub, x, y);
}

// DirectWrite takes the face and size of the saying's fonts set across;
// the square cell is what the vertical face advances for a full-width
// character.
void PrepareColumnFaces(HDC dc, const ColumnBlock& block)
{
    const FontRequest requests[kUnicodeSlots] = {MainFontRequest(block.mainWidth), SubFontRequest(block.subWidth)};
    const HFONT vertical[kUnicodeSlots] = {g.mainFont, g.subFont};
    unicodeFaces = true;
    for (int slot = 0; slot < kUnicodeSlots; ++slot) {
        const FontRequest& r = requests[slot];
        HFONT across = CreateFont932(r.height, r.width, r.weight, r.charSet, r.pitchAndFamily, g.faceName);
        unicodeFaces = unicodeFaces && vertical[slot] &&
                       PrepareUnicodeFont(dc, across, static_cast<UnicodeFontSlot>(slot));
        DeleteGdiObject(across);
        SIZE size = {0, 0};
        if (vertical[slot]) {
            SelectObject(dc, vertical[slot]);
            GetTextExtentPoint32W(dc, L"\u7530", 1, &size);
        }
        fullCell[slot] = size.cx;
    }
}

void DrawFallbackClusters(const char16_t* units, uint32_t length, const TextBand& band, bool colour,
                          COLORREF textColour, const ColumnSeam16& seam)
{
    HDC dc = g.SourceSurface.dc;
    if (!BeginUnicodeDrawing(dc, band.area, colour, textColour)) return;
    pass = DrawingFallback;
    WalkColumns(units, length, lastBlock, seam, true);
    pass = Measuring;
    EndUnicodeDrawing();
}
}

const ColumnBlock& LastColumnBlock() { return lastBlock; }

void LayOutColumns(HWND window, HDC screen, const char* text, const char16_t* units, uint32_t length,
                   TextPlacement* placement)
{
    const int width = g.clientRect.right;
    const int height = g.clientRect.bottom;
    TextBand band = {};
    lastBlock = ColumnBlock();
    ColumnBlock& block = lastBlock;
    TextMeasure measure;
    if (units) MeasureText(units, length, ShiftJisBytes932, &measure);
    else MeasureText(text, length, &measure);
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
    const ColumnSeam16 seam16 = {nullptr, LengthOfUnits, DrawColumnUnits};
    if (dc) {
        const ColumnSeam seam = {nullptr, LengthOf, DrawColumn};
        block.mainThickness = FontThickness(dc, g.mainFont);
        block.subThickness = FontThickness(dc, g.subFont);
        if (units) PrepareColumnFaces(dc, block);
        if (units) PlaceColumnBlock(units, measure, width, height, seam16, &block);
        else PlaceColumnBlock(text, measure, width, height, seam, &block);
        ColumnReach reach = units ? WalkColumns(units, length, block, seam16, false)
                                  : WalkColumns(text, length, block, seam, false);
        // A glyph may reach a little past its cell: a quarter column.
        const RECT columns = {reach.left, block.top, block.right, reach.bottom};
        ClearTextPicture(screen, width, height, columns, block.mainThickness / 4 + 2, &band);
        if (units && unicodeFaces) DrawFallbackClusters(units, length, band, false, 0, seam16);
        pass = DrawingFace;
        if (units) WalkColumns(units, length, block, seam16, true);
        else WalkColumns(text, length, block, seam, true);
        pass = Measuring;

        placement->left = reach.left;
        placement->top = block.top;
        placement->mainCx = block.mainLength;
        placement->mainCy = block.mainThickness;
        placement->subCy = block.subThickness;
    }
    const COLORREF colour = FinishTextPicture(screen, width, height, band);
    // Colour emoji keep their own colours: they are drawn last, measured
    // again in the vertical fonts the colouring let go.
    if (dc && units && unicodeFaces && UnicodeColourPending()) {
        g.mainFont = MakeColumnFont(MainFontRequest(block.mainWidth));
        g.subFont = MakeColumnFont(SubFontRequest(block.subWidth));
        DrawFallbackClusters(units, length, band, true, colour, seam16);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteGdiObject(g.mainFont);
        DeleteGdiObject(g.subFont);
    }
    unicodeFaces = false;
    ReleaseUnicodeFonts();
}
