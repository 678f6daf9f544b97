// Sayings on the screen: the text is laid out once, white on black, then
// recoloured and handed to the transition engine tick after tick.
#include "saver/sayings/sayings_win.h"
#include "saver/sayings/text_picture_win.h"

#include "common/cp932.h"
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/common/errors_win.h"
#include "saver/common/random.h"
#include "saver/sayings/text_clusters.h"
#include "saver/sayings/text_layout.h"
#include "saver/sayings/text_unicode_win.h"
#include "saver/sayings/words.h"
#include "saver/transitions/transition_win.h"

#include <cstring>

namespace {
TextPlacement placement;

// The item's text: Shift-JIS bytes, or the UTF-16 units of a Unicode
// words file.
struct ItemText {
    const char* bytes;
    const char16_t* units;
    uint32_t length;
};

// Shift-JIS lines go through GDI as they always did. UTF-16 lines go
// through DirectWrite, or through GDI's wide calls where it cannot be had.
bool unicodeFaces = false;
bool unicodeDrawing = false;

// A full-size memory picture for one step of the colouring.
MemorySurface MakeScratch(HDC screen, int width, int height)
{
    MemorySurface s = {};
    s.dc = CreateCompatibleDC(screen);
    s.bitmap = CreateCompatibleBitmap(screen, width, height);
    if (s.dc && s.bitmap) s.oldBitmap = SelectObject(s.dc, s.bitmap);
    return s;
}

HFONT MakeFont(const FontRequest& r)
{
    return CreateFont932(r.height, r.width, r.weight, r.charSet, r.pitchAndFamily, g.faceName);
}

// The bytes of a line that go to the platform, ending on a whole character.
int DrawnBytes(const char* text, uint32_t length, int clientWidth)
{
    uint32_t n = DrawableBytes(length, clientWidth);
    if (n < length) n = static_cast<uint32_t>(WholeCharBytes932(text, n));
    return static_cast<int>(n);
}

// The units of a line that go to the platform, ending on a whole cluster.
uint32_t DrawnUnits(const char16_t* text, uint32_t length, int clientWidth)
{
    uint32_t n = DrawableBytes(length, clientWidth);
    return n < length ? WholeClusterUnits(text, length, n) : n;
}

// An empty text measures as no width and the height of the font: a sub
// line with nothing after its marker still takes a line of the sub font.
// Some platforms answer an empty text with a height of 0, so that height is
// asked of the font itself.
SIZE EmptyExtent(HDC dc)
{
    SIZE size = {0, 0};
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) size.cy = metrics.tmHeight;
    return size;
}

SIZE LineExtent(HDC dc, const char* text, uint32_t length, UnicodeFontSlot, int clientWidth)
{
    SIZE size = {0, 0};
    int bytes = DrawnBytes(text, length, clientWidth);
    if (bytes <= 0) return EmptyExtent(dc);
    TextExtent932(dc, text, bytes, &size);
    return size;
}

SIZE LineExtent(HDC dc, const char16_t* text, uint32_t length, UnicodeFontSlot slot, int clientWidth)
{
    const uint32_t units = DrawnUnits(text, length, clientWidth);
    if (unicodeFaces) return UnicodeExtent(slot, text, units);
    if (units == 0) return EmptyExtent(dc);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, AsWide(text), static_cast<int>(units), &size);
    return size;
}

// The extent of length units of the text from start, in the font selected
// for the slot.
SIZE Extent(HDC dc, const ItemText& text, uint32_t start, uint32_t length, UnicodeFontSlot slot, int clientWidth)
{
    if (text.units) return LineExtent(dc, text.units + start, length, slot, clientWidth);
    return LineExtent(dc, text.bytes + start, length, slot, clientWidth);
}

void DrawLine(HDC dc, UnicodeFontSlot slot, int x, int y, const char* text, uint32_t length, int clientWidth)
{
    SelectObject(dc, slot == UnicodeMain ? g.mainFont : g.subFont);
    TextOut932(dc, x, y, text, DrawnBytes(text, length, clientWidth));
}

void DrawLine(HDC dc, UnicodeFontSlot slot, int x, int y, const char16_t* text, uint32_t length, int clientWidth)
{
    const uint32_t units = DrawnUnits(text, length, clientWidth);
    if (unicodeDrawing) {
        DrawUnicodeLine(slot, x, y, text, units);
        return;
    }
    SelectObject(dc, slot == UnicodeMain ? g.mainFont : g.subFont);
    TextOutW(dc, x, y, AsWide(text), static_cast<int>(units));
}

// Draws the lines (or, with draw false, only walks them) and returns the
// y below the last line that fits on the screen.
template <typename Unit>
int WalkLines(const Unit* text, uint32_t length, int clientWidth, int clientHeight, bool draw)
{
    HDC dc = g.SourceSurface.dc;
    int y = placement.top;
    uint32_t cursor = 0;
    TextLine line;
    while (y < clientHeight && NextTextLine(text, length, &cursor, &line)) {
        const Unit* drawn = text + line.textStart;
        switch (line.kind) {
        case LineOrdinary:
            if (draw) DrawLine(dc, UnicodeMain, placement.left, y, drawn, line.textLength, clientWidth);
            y += placement.mainCy;
            break;
        case LineSub:
            if (draw) DrawLine(dc, UnicodeSub, placement.left, y, drawn, line.textLength, clientWidth);
            y += placement.subCy;
            break;
        case LineRightSub:
            if (draw)
                DrawLine(dc, UnicodeSub, RightSubX(placement.left, placement.mainCx, placement.subCx), y, drawn,
                         line.textLength, clientWidth);
            y += placement.subCy;
            break;
        }
    }
    return y;
}

int DrawLines(const ItemText& text, int clientWidth, int clientHeight, bool draw)
{
    if (text.units) return WalkLines(text.units, text.length, clientWidth, clientHeight, draw);
    return WalkLines(text.bytes, text.length, clientWidth, clientHeight, draw);
}

// The Unicode lines in one pass of DirectWrite over the rows [top,
// bottom): white on black, or (colour) the colour fonts' runs over the
// finished picture. Without DirectWrite the white pass is GDI's.
void DrawUnicodeLines(const ItemText& text, int width, int height, int top, int bottom, bool colour,
                      COLORREF textColour)
{
    const RECT rows = {0, top, width, bottom};
    unicodeDrawing = unicodeFaces && BeginUnicodeDrawing(g.SourceSurface.dc, rows, colour, textColour);
    if (unicodeDrawing || !colour) DrawLines(text, width, height, true);
    if (unicodeDrawing) EndUnicodeDrawing();
    unicodeDrawing = false;
}

// White text on black becomes the text colour on the background colour,
// bit by bit: (text AND colour) OR (NOT text AND background), which is
// ((text AND (colour XOR background)) XOR background). Two brush passes
// over the picture in place do that; on a large screen they cost a
// fraction of building a mask and two colour pictures. The XOR of the two
// colours is only the XOR of their pixels where colours map to pixels bit
// for bit, so palette screens take the long way.
const DWORD kDestAndBrush = 0x00A000C9;

HBRUSH BackgroundBrush()
{
    return g.BackgroundBrush ? g.BackgroundBrush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
}

void ColourByMask(HDC screen, int width, int height, COLORREF colour)
{
    // Palette screens: the whole picture, as it was laid out.
    RECT all = {0, 0, width, height};
    HDC source = g.SourceSurface.dc;

    MemorySurface mask = MakeScratch(screen, width, height);
    BitBlt(mask.dc, 0, 0, width, height, source, 0, 0, NOTSRCCOPY);

    MemorySurface tint = MakeScratch(screen, width, height);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(tint.dc, &all, brush);
    DeleteObject(brush);
    BitBlt(source, 0, 0, width, height, tint.dc, 0, 0, SRCAND);
    ReleaseMemorySurface(&tint);

    MemorySurface back = MakeScratch(screen, width, height);
    FillRect(back.dc, &all, BackgroundBrush());
    BitBlt(back.dc, 0, 0, width, height, mask.dc, 0, 0, SRCAND);
    ReleaseMemorySurface(&mask);

    BitBlt(source, 0, 0, width, height, back.dc, 0, 0, SRCPAINT);
    ReleaseMemorySurface(&back);
}

// Colour by XOR is exact only where colours map to pixels bit for bit.
bool ColoursByBrushes(HDC screen, LOGBRUSH* background)
{
    *background = {BS_SOLID, RGB(0, 0, 0), 0};
    if (g.BackgroundBrush && GetObjectW(g.BackgroundBrush, sizeof *background, background) != sizeof *background)
        background->lbStyle = BS_NULL;
    return GetDeviceCaps(screen, BITSPIXEL) >= 15 && background->lbStyle == BS_SOLID;
}

// The area holds the white-on-black text; the rest of the picture is
// already the background.
void ColourBand(const LOGBRUSH& background, const RECT& area, COLORREF colour)
{
    // A pass that would change no pixel is left out: the AND with white
    // (text and background colours opposite), the XOR with black (the
    // default background).
    HDC source = g.SourceSurface.dc;
    const int width = area.right - area.left, height = area.bottom - area.top;
    const COLORREF back = background.lbColor & 0xFFFFFF;
    HBRUSH difference = CreateSolidBrush(colour ^ back);
    HGDIOBJ old = SelectObject(source, difference);
    if ((colour ^ back) != 0xFFFFFF) PatBlt(source, area.left, area.top, width, height, kDestAndBrush);
    SelectObject(source, BackgroundBrush());
    if (back != 0) PatBlt(source, area.left, area.top, width, height, PATINVERT);
    SelectObject(source, old);
    DeleteObject(difference);
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    if (bottom <= top || right <= left) return;
    RECT area = {left, top, right, bottom};
    FillRect(dc, &area, brush);
}

int Within(int value, int low, int high) { return value < low ? low : value > high ? high : value; }
}
void PickFont(HWND)
{
    uint16_t index = RandomIndex(UsableFontCount(g.settings.FontCount, kMaxFonts));
    if (index >= kMaxFonts) index = 0;
    std::memcpy(g.faceName, g.settings.Font[index], sizeof g.faceName);
    g.faceName[sizeof g.faceName - 1] = '\0';
}

const TextPlacement& LastTextPlacement() { return placement; }

void ReleaseTextPicture()
{
    ParkSourceSurface();
    g.textTicks = 0;
    g.itemBusy = 0;
}

void TakeTextPicture(HDC screen, int width, int height)
{
    // A picture left from an item cut short is parked first; the same-sized
    // picture then serves this saying too.
    if (g.SourceSurface.dc || g.SourceSurface.bitmap) {
        uint32_t busy = g.itemBusy;
        ReleaseTextPicture();
        g.itemBusy = busy;
    }
    MemorySurface& s = g.SourceSurface;
    TakeSourceSurface(screen, width, height);
    if (s.dc && g.mainFont) s.oldFont = SelectObject(s.dc, g.mainFont);
}

void ClearTextPicture(HDC screen, int width, int height, const RECT& text, int margin, TextBand* band)
{
    HDC dc = g.SourceSurface.dc;
    HBRUSH black = g.blackBrush ? g.blackBrush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    band->byBrushes = ColoursByBrushes(screen, &band->background);
    if (band->byBrushes) {
        // Only the area of the text needs the colouring; the rest is the
        // background from the start.
        RECT& a = band->area;
        a.left = Within(text.left - margin, 0, width);
        a.right = Within(text.right + margin, a.left, width);
        a.top = Within(text.top - margin, 0, height);
        a.bottom = Within(text.bottom + margin, a.top, height);
        FillArea(dc, 0, 0, width, a.top, BackgroundBrush());
        FillArea(dc, 0, a.top, a.left, a.bottom, BackgroundBrush());
        FillArea(dc, a.left, a.top, a.right, a.bottom, black);
        FillArea(dc, a.right, a.top, width, a.bottom, BackgroundBrush());
        FillArea(dc, 0, a.bottom, width, height, BackgroundBrush());
    } else {
        band->area = {0, 0, width, height};
        FillArea(dc, 0, 0, width, height, black);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
}

COLORREF FinishTextPicture(HDC screen, int width, int height, const TextBand& band)
{
    MemorySurface& s = g.SourceSurface;
    if (s.dc && s.oldFont) SelectObject(s.dc, s.oldFont);
    s.oldFont = nullptr;
    DeleteGdiObject(g.mainFont);
    DeleteGdiObject(g.subFont);

    // The text colour is drawn even when the picture could not be made, so
    // that the transition's pick stays the next draw of the generator.
    uint16_t colourIndex = RandomIndex(g.settings.ColorCount);
    if (colourIndex >= kMaxTextColors) colourIndex = 0;
    const COLORREF colour = g.settings.Color[colourIndex] & 0xFFFFFF;
    if (s.dc && band.byBrushes) ColourBand(band.background, band.area, colour);
    else if (s.dc) ColourByMask(screen, width, height, colour);
    return colour;
}

void LayOutTextItem(HWND window, uint16_t mode, HDC screen)
{
    const int width = g.clientRect.right;
    const int height = g.clientRect.bottom;
    placement = TextPlacement();

    // The text: the file, the caller's block, or the message of a failure.
    uint16_t code = 0;
    if (mode == 0) code = ReadWordsFile(window, g.currentPath);
    char message[kErrorTextSize];
    const char* text = "";
    const char16_t* units = nullptr;
    uint32_t length = 0;
    if (code != 0) {
        FreeGlobalBlock(&g.textBuffer);
        std::memcpy(message, ReportError(window, code, ReturnOnly), sizeof message);
        message[sizeof message - 1] = '\0';
        text = message;
        length = static_cast<uint32_t>(std::strlen(message));
    } else if (g.textBuffer) {
        const char* locked = static_cast<const char*>(GlobalLock(g.textBuffer));
        if (locked) {
            text = locked;
            length = g.textLength;
            // A caller's length never reaches past its block.
            SIZE_T size = GlobalSize(g.textBuffer);
            // Plug-ins hand over Shift-JIS whatever the field says.
            if (mode == 0 && g.textUtf16) {
                units = reinterpret_cast<const char16_t*>(locked);
                size /= sizeof *units;
            }
            if (length > size) length = static_cast<uint32_t>(size);
        }
    }
    g.textLength = length;
    placement.code = code;
    if (g.settings.Vertical != 0 && code == 0) {
        // Down the screen. A numbered message always reads across.
        LayOutColumns(window, screen, text, units, length, &placement);
        FreeGlobalBlock(&g.textBuffer);
        g.textUtf16 = 0;
        return;
    }
    const ItemText item = {text, units, length};

    TextBand band = {};
    TextMeasure measure;
    if (units) MeasureText(units, length, ShiftJisBytes932, &measure);
    else MeasureText(text, length, &measure);
    placement.lines = measure.lines;
    placement.subLines = measure.subLines;
    placement.maxLen = measure.maxLen;

    PickFont(window);
    placement.mainWidth = MainCharWidth(width, SizingLength(measure.maxLen, measure.longestSubLen));
    placement.subWidth = SubCharWidth(width, placement.mainWidth);
    DeleteGdiObject(g.mainFont);
    DeleteGdiObject(g.subFont);
    g.mainFont = MakeFont(MainFontRequest(placement.mainWidth));
    g.subFont = MakeFont(SubFontRequest(placement.subWidth));

    MemorySurface& s = g.SourceSurface;
    TakeTextPicture(screen, width, height);

    if (s.dc) {
        unicodeFaces = units && PrepareUnicodeFont(s.dc, g.mainFont, UnicodeMain) &&
                       PrepareUnicodeFont(s.dc, g.subFont, UnicodeSub);
        SIZE main = Extent(s.dc, item, measure.longestStart, measure.maxUnits, UnicodeMain, width);
        placement.mainCy = main.cy;
        if (g.subFont) SelectObject(s.dc, g.subFont);
        SIZE sub = Extent(s.dc, item, measure.subStart, measure.subLen, UnicodeSub, width);
        placement.subCx = sub.cx;
        placement.subCy = sub.cy;
        // Without an ordinary line to measure, the block is as wide as its
        // widest sub line; centring on an empty line would start the text at
        // the middle and push longer lines past the right edge.
        if (measure.maxLen == 0 && measure.longestSubLen != 0)
            main.cx = Extent(s.dc, item, measure.longestSubStart, measure.longestSubUnits, UnicodeSub, width).cx;
        placement.mainCx = main.cx;
        placement.left = BlockLeft(width, main.cx);
        placement.top = BlockTop(height, measure.lines, measure.subLines, main.cy, sub.cy);

        // A glyph may reach a little past its cell: a quarter line.
        const RECT rows = {0, placement.top, width, DrawLines(item, width, height, false)};
        ClearTextPicture(screen, width, height, rows, placement.mainCy / 4 + 2, &band);
        if (units) DrawUnicodeLines(item, width, height, band.area.top, band.area.bottom, false, 0);
        else DrawLines(item, width, height, true);
    }
    const COLORREF colour = FinishTextPicture(screen, width, height, band);
    // Colour emoji keep their own colours: they are drawn last.
    if (s.dc && unicodeFaces && UnicodeColourPending())
        DrawUnicodeLines(item, width, height, band.area.top, band.area.bottom, true, colour);
    unicodeFaces = false;
    ReleaseUnicodeFonts();
    FreeGlobalBlock(&g.textBuffer);
    g.textUtf16 = 0;
}

void ReleaseTextEngine() { ReleaseUnicodeText(); }

void RenderTextItem(HWND window, uint16_t mode)
{
    g.ScreenSurface = GetDC(window);
    if (g.textTicks == 0) LayOutTextItem(window, mode, g.ScreenSurface);
    int finished = StepTransition(g.ScreenSurface, g.SourceSurface.dc);
    ReleaseDC(window, g.ScreenSurface);
    g.ScreenSurface = nullptr;
    if (finished == 1) ReleaseTextPicture();
    else ++g.textTicks;
}
