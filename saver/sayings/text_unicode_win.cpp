#include "saver/sayings/text_unicode_win.h"

#include "saver/sayings/text_clusters.h"

#include <dwrite_2.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

namespace {
const int kFamilyName = 64;
const int kFamilies = 24;       // faces the fallback has named this show
const uint32_t kAnswers = 512;  // code points whose face is known

template <typename T>
void Drop(T** p)
{
    if (*p) (*p)->Release();
    *p = nullptr;
}

struct Family {
    wchar_t name[kFamilyName];
    bool colour;   // a colour font: drawn after the picture is coloured
};

// A character the saying's face lacks, and the family found for it (-1:
// none has it, it stays in the saying's face and shows its missing mark).
struct Answer {
    uint32_t codePointPlusOne;   // 0: empty
    int16_t family;
};

struct Face {
    IDWriteTextFormat* format;
    IDWriteFont* font;          // the saying's face, asked which characters it has
    wchar_t family[kFamilyName];
    float scaleX;               // the GDI font's width over the face's own
    int ascent, height;
    bool colour;
};

// The face GDI takes for a description is asked of the platform once: on
// some systems the asking takes longer than drawing the saying.
struct KnownFace {
    wchar_t name[LF_FACESIZE];
    BYTE charSet;
    LONG weight;
    IDWriteFont* font;
};
const int kKnownFaces = 8;

struct UnicodeText {
    bool tried;
    HMODULE dwrite;
    IDWriteFactory* factory;
    IDWriteFactory2* factory2;       // null before Windows 8.1: no fallback, no colour
    IDWriteFontFallback* fallback;
    IDWriteFontCollection* fonts;
    IDWriteGdiInterop* interop;
    IDWriteBitmapRenderTarget* target;   // the rows being drawn, in a picture of its own
    IDWriteRenderingParams* params;      // grey antialiasing: the picture is recoloured
    SIZE targetSize;
    COLORREF ink;                        // white, or the text colour in the colour pass
    Face faces[kUnicodeSlots];
    Family families[kFamilies];
    int familyCount;
    Answer answers[kAnswers];
    KnownFace known[kKnownFaces];
    int nextKnown;
    // The drawing under way.
    bool drawing, colourPass, colourPending;
    HDC dc;
    int left, top, width, rows;
    DWRITE_MATRIX transform;   // of the line being drawn: GDI's width and place
} u;

// Marks the runs that the current pass leaves out.
struct Hidden : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
} hidden;

// Hands the glyph runs of a line to the bitmap target, in the colours of a
// colour font's layers in the colour pass.
struct GlyphPainter : IDWriteTextRenderer {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDWritePixelSnapping) || iid == __uuidof(IDWriteTextRenderer)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void*, BOOL* disabled) override
    {
        *disabled = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentTransform(void*, DWRITE_MATRIX* transform) override
    {
        *transform = u.transform;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void*, FLOAT* pixels) override
    {
        *pixels = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawGlyphRun(void*, FLOAT x, FLOAT y, DWRITE_MEASURING_MODE mode,
                                           const DWRITE_GLYPH_RUN* run, const DWRITE_GLYPH_RUN_DESCRIPTION*,
                                           IUnknown* effect) override
    {
        if (effect == &hidden) return S_OK;
        IDWriteColorGlyphRunEnumerator* layers = nullptr;
        if (u.colourPass && u.factory2 &&
            SUCCEEDED(u.factory2->TranslateColorGlyphRun(x, y, run, nullptr, mode, &u.transform, 0, &layers))) {
            BOOL more = FALSE;
            const DWRITE_COLOR_GLYPH_RUN* layer = nullptr;
            while (SUCCEEDED(layers->MoveNext(&more)) && more && SUCCEEDED(layers->GetCurrentRun(&layer))) {
                // 0xFFFF: the layer takes the text's own colour.
                const DWRITE_COLOR_F& c = layer->runColor;
                const COLORREF colour = layer->paletteIndex == 0xFFFF ? u.ink
                                                                       : RGB(c.r * 255 + 0.5f, c.g * 255 + 0.5f,
                                                                             c.b * 255 + 0.5f);
                u.target->DrawGlyphRun(layer->baselineOriginX, layer->baselineOriginY, mode, &layer->glyphRun,
                                       u.params, colour, nullptr);
            }
            Drop(&layers);
            return S_OK;
        }
        return u.target->DrawGlyphRun(x, y, mode, run, u.params, u.ink, nullptr);
    }
    HRESULT STDMETHODCALLTYPE DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*, IUnknown*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*, IUnknown*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL, BOOL,
                                               IUnknown*) override
    {
        return S_OK;
    }
} painter;

// The text of one cluster, for the system's fallback to look at.
struct ClusterSource : IDWriteTextAnalysisSource {
    const WCHAR* text;
    UINT32 length;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDWriteTextAnalysisSource)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTextAtPosition(UINT32 at, const WCHAR** out, UINT32* count) override
    {
        *out = at < length ? text + at : nullptr;
        *count = at < length ? length - at : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTextBeforePosition(UINT32 at, const WCHAR** out, UINT32* count) override
    {
        *out = at > 0 && at <= length ? text : nullptr;
        *count = at > 0 && at <= length ? at : 0;
        return S_OK;
    }
    DWRITE_READING_DIRECTION STDMETHODCALLTYPE GetParagraphReadingDirection() override
    {
        return DWRITE_READING_DIRECTION_LEFT_TO_RIGHT;
    }
    HRESULT STDMETHODCALLTYPE GetLocaleName(UINT32 at, UINT32* count, const WCHAR** locale) override
    {
        *count = at < length ? length - at : 0;
        *locale = L"ja-jp";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetNumberSubstitution(UINT32 at, UINT32* count, IDWriteNumberSubstitution** out) override
    {
        *count = at < length ? length - at : 0;
        *out = nullptr;
        return S_OK;
    }
};

bool IsColourFont(IDWriteFont* font)
{
    IDWriteFontFace* face = nullptr;
    IDWriteFontFace2* face2 = nullptr;
    bool colour = false;
    if (SUCCEEDED(font->CreateFontFace(&face)) &&
        SUCCEEDED(face->QueryInterface(__uuidof(IDWriteFontFace2), reinterpret_cast<void**>(&face2))))
        colour = face2->IsColorFont() != FALSE;
    Drop(&face2);
    Drop(&face);
    return colour;
}

bool FamilyName(IDWriteFont* font, wchar_t (&name)[kFamilyName])
{
    IDWriteFontFamily* family = nullptr;
    IDWriteLocalizedStrings* names = nullptr;
    UINT32 index = 0;
    BOOL exists = FALSE;
    bool ok = SUCCEEDED(font->GetFontFamily(&family)) && SUCCEEDED(family->GetFamilyNames(&names)) &&
              SUCCEEDED(names->FindLocaleName(L"en-us", &index, &exists));
    if (ok && !exists) index = 0;
    ok = ok && SUCCEEDED(names->GetString(index, name, kFamilyName));
    Drop(&names);
    Drop(&family);
    return ok;
}

// The DirectWrite entry point, from the library found at run time: a
// system without it still shows its sayings through GDI.
bool Start()
{
    if (u.tried) return u.factory != nullptr;
    u.tried = true;
    u.dwrite = LoadLibraryW(L"dwrite.dll");
    typedef HRESULT(WINAPI * WriteFactoryFn)(DWRITE_FACTORY_TYPE, REFIID, IUnknown**);
    auto makeWrite = u.dwrite ? reinterpret_cast<WriteFactoryFn>(
                                    reinterpret_cast<void*>(GetProcAddress(u.dwrite, "DWriteCreateFactory")))
                              : nullptr;
    IDWriteRenderingParams* defaults = nullptr;
    if (!makeWrite ||
        FAILED(makeWrite(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                         reinterpret_cast<IUnknown**>(&u.factory))) ||
        FAILED(u.factory->GetSystemFontCollection(&u.fonts, FALSE)) || FAILED(u.factory->GetGdiInterop(&u.interop)) ||
        FAILED(u.factory->CreateRenderingParams(&defaults)) ||
        FAILED(u.factory->CreateCustomRenderingParams(defaults->GetGamma(), defaults->GetEnhancedContrast(), 0.0f,
                                                      defaults->GetPixelGeometry(), defaults->GetRenderingMode(),
                                                      &u.params))) {
        Drop(&defaults);
        ReleaseUnicodeText();
        u.tried = true;
        return false;
    }
    Drop(&defaults);
    if (SUCCEEDED(u.factory->QueryInterface(__uuidof(IDWriteFactory2), reinterpret_cast<void**>(&u.factory2))))
        u.factory2->GetSystemFontFallback(&u.fallback);
    return true;
}

// The target's picture, grown to hold the rows; kept for the next saying.
bool MakeTarget(int width, int rows)
{
    if (u.target && u.targetSize.cx >= width && u.targetSize.cy >= rows) return true;
    const SIZE size = {std::max<LONG>(width, u.targetSize.cx), std::max<LONG>(rows, u.targetSize.cy)};
    if (u.target && SUCCEEDED(u.target->Resize(size.cx, size.cy))) {
        u.targetSize = size;
        return true;
    }
    Drop(&u.target);
    u.targetSize = SIZE{0, 0};
    if (FAILED(u.interop->CreateBitmapRenderTarget(nullptr, size.cx, size.cy, &u.target))) return false;
    u.target->SetPixelsPerDip(1);
    u.targetSize = size;
    return true;
}

// The family's place in the table of families named so far; -1 when the
// table is full.
int16_t FamilyIndex(IDWriteFont* font)
{
    wchar_t name[kFamilyName];
    if (!FamilyName(font, name)) return -1;
    for (int i = 0; i < u.familyCount; ++i)
        if (std::wcscmp(u.families[i].name, name) == 0) return static_cast<int16_t>(i);
    if (u.familyCount == kFamilies) return -1;
    Family& f = u.families[u.familyCount];
    std::memcpy(f.name, name, sizeof name);
    f.colour = IsColourFont(font);
    return static_cast<int16_t>(u.familyCount++);
}

bool Has(IDWriteFont* font, uint32_t codePoint)
{
    BOOL has = FALSE;
    return SUCCEEDED(font->HasCharacter(codePoint, &has)) && has;
}

// Joiners, variation selectors and tags change how their neighbours look
// and have no glyph of their own: a face need not have them.
bool Invisible(uint32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x200B && c <= 0x200F) || (c >= 0x2060 && c <= 0x206F) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// The first character of a cluster that the face lacks, or 0.
uint32_t MissingFrom(IDWriteFont* font, const char16_t* cluster, uint32_t units)
{
    for (uint32_t at = 0, step = 0; at < units; at += step) {
        const uint32_t c = CodePointAt(cluster, units, at, &step);
        if (!Invisible(c) && !Has(font, c)) return c;
    }
    return 0;
}

// A face for a cluster with a character the saying's face lacks: the
// system's fallback first, and where it names none (or one without the
// character), the first installed family that has it and the cluster's
// first character. Answers are kept for the show.
int16_t FamilyFor(const Face& face, uint32_t first, uint32_t codePoint, const char16_t* cluster, uint32_t units)
{
    Answer& answer = u.answers[(codePoint * 2654435761u) % kAnswers];
    if (answer.codePointPlusOne == codePoint + 1) return answer.family;
    int16_t family = -1;
    if (u.fallback) {
        ClusterSource source;
        source.text = reinterpret_cast<const WCHAR*>(cluster);
        source.length = units;
        UINT32 mapped = 0;
        IDWriteFont* font = nullptr;
        FLOAT scale = 1;
        if (SUCCEEDED(u.fallback->MapCharacters(&source, 0, units, u.fonts, face.family, face.font->GetWeight(),
                                                face.font->GetStyle(), face.font->GetStretch(), &mapped, &font,
                                                &scale)) &&
            font && Has(font, codePoint))
            family = FamilyIndex(font);
        Drop(&font);
    }
    for (UINT32 i = 0, count = u.fonts->GetFontFamilyCount(); family < 0 && i < count; ++i) {
        IDWriteFontFamily* candidates = nullptr;
        IDWriteFont* font = nullptr;
        const bool has = SUCCEEDED(u.fonts->GetFontFamily(i, &candidates)) &&
                         SUCCEEDED(candidates->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_NORMAL,
                                                                    DWRITE_FONT_STRETCH_NORMAL,
                                                                    DWRITE_FONT_STYLE_NORMAL, &font)) &&
                         Has(font, codePoint) && Has(font, first);
        if (has) family = FamilyIndex(font);
        Drop(&font);
        Drop(&candidates);
        if (has && family < 0) break;   // the table is full: leave it
    }
    answer.codePointPlusOne = codePoint + 1;
    answer.family = family;
    return family;
}

// A layout of one line, each run of clusters in the family that draws it;
// in the white pass the colour runs are hidden, in the colour pass the rest.
IDWriteTextLayout* LayOutLine(const Face& face, const char16_t* text, uint32_t length, bool* hasColour)
{
    IDWriteTextLayout* layout = nullptr;
    if (FAILED(u.factory->CreateTextLayout(reinterpret_cast<const WCHAR*>(text), length, face.format, 1.0e6f, 1.0e5f,
                                           &layout)))
        return nullptr;
    *hasColour = false;
    int16_t runFamily = -1;
    uint32_t runStart = 0;
    auto endRun = [&](uint32_t end) {
        const DWRITE_TEXT_RANGE range = {runStart, end - runStart};
        const bool colour = runFamily >= 0 ? u.families[runFamily].colour : face.colour;
        if (runFamily >= 0 && end > runStart) layout->SetFontFamilyName(u.families[runFamily].name, range);
        if (colour && end > runStart) *hasColour = true;
        if (u.drawing && end > runStart && colour != u.colourPass) layout->SetDrawingEffect(&hidden, range);
    };
    for (uint32_t at = 0; at < length;) {
        uint32_t first = 0;
        const uint32_t end = ClusterEnd(text, length, at, &first);
        const uint32_t missing = MissingFrom(face.font, text + at, end - at);
        const int16_t family = missing ? FamilyFor(face, first, missing, text + at, end - at) : -1;
        if (family != runFamily) {
            endRun(at);
            runFamily = family;
            runStart = at;
        }
        at = end;
    }
    endRun(length);
    return layout;
}
}

bool PrepareUnicodeFont(HDC dc, HFONT font, UnicodeFontSlot slot)
{
    Face& face = u.faces[slot];
    Drop(&face.format);
    Drop(&face.font);
    if (!font || !Start()) return false;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics;
    bool ok = GetTextMetricsW(dc, &metrics) != FALSE;
    // The face GDI really took for the font (a replacement, a substitute),
    // or failing that the one DirectWrite makes of the same description.
    IDWriteFontFace* gdiFace = nullptr;
    LOGFONTW description;
    const bool described = GetObjectW(font, sizeof description, &description) == sizeof description;
    KnownFace* known = nullptr;
    for (KnownFace& k : u.known)
        if (described && k.font && k.charSet == description.lfCharSet && k.weight == description.lfWeight &&
            std::wcscmp(k.name, description.lfFaceName) == 0)
            known = &k;
    if (ok && known) {
        face.font = known->font;
        face.font->AddRef();
    } else if (ok) {
        if (FAILED(u.interop->CreateFontFaceFromHdc(dc, &gdiFace)) ||
            FAILED(u.fonts->GetFontFromFontFace(gdiFace, &face.font)))
            ok = described && SUCCEEDED(u.interop->CreateFontFromLOGFONT(&description, &face.font));
        if (ok && described) {
            KnownFace& k = u.known[u.nextKnown++ % kKnownFaces];
            Drop(&k.font);
            std::memcpy(k.name, description.lfFaceName, sizeof k.name);
            k.charSet = description.lfCharSet;
            k.weight = description.lfWeight;
            k.font = face.font;
            k.font->AddRef();
        }
    }
    Drop(&gdiFace);
    ok = ok && FamilyName(face.font, face.family);
    // GDI's height is the cell; the em is the cell without its leading.
    const int em = metrics.tmHeight - metrics.tmInternalLeading;
    ok = ok && SUCCEEDED(u.factory->CreateTextFormat(face.family, u.fonts, face.font->GetWeight(),
                                                     face.font->GetStyle(), face.font->GetStretch(),
                                                     static_cast<float>(em > 0 ? em : metrics.tmHeight), L"ja-jp",
                                                     &face.format));
    if (ok) face.format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    // The width asked of GDI squeezes or stretches the face, and GDI
    // rounds each advance to a pixel: four full-width characters (or, in a
    // face without them, four digits) as GDI sets them and as DirectWrite
    // does tell the scale that lands the line where GDI would end it.
    face.scaleX = 1;
    BOOL fullWidth = FALSE;
    if (ok) face.font->HasCharacter(0x7530, &fullWidth);
    const wchar_t* sample = fullWidth ? L"\u7530\u7530\u7530\u7530" : L"0000";
    SIZE gdi = {0, 0};
    IDWriteTextLayout* layout = nullptr;
    DWRITE_TEXT_METRICS own = {};
    if (ok && GetTextExtentPoint32W(dc, sample, 4, &gdi) &&
        SUCCEEDED(u.factory->CreateTextLayout(sample, 4, face.format, 1.0e6f, 1.0e5f, &layout)) &&
        SUCCEEDED(layout->GetMetrics(&own)) && own.widthIncludingTrailingWhitespace > 0)
        face.scaleX = static_cast<float>(gdi.cx) / own.widthIncludingTrailingWhitespace;
    Drop(&layout);
    SelectObject(dc, old);
    if (!ok) {
        Drop(&face.format);
        Drop(&face.font);
        return false;
    }
    face.ascent = metrics.tmAscent;
    face.height = metrics.tmHeight;
    face.colour = IsColourFont(face.font);
    return true;
}

SIZE UnicodeExtent(UnicodeFontSlot slot, const char16_t* text, uint32_t length)
{
    const Face& face = u.faces[slot];
    SIZE size = {0, face.height};
    bool colour = false;
    IDWriteTextLayout* layout = face.format && length ? LayOutLine(face, text, length, &colour) : nullptr;
    DWRITE_TEXT_METRICS metrics;
    if (layout && SUCCEEDED(layout->GetMetrics(&metrics)))
        size.cx = static_cast<LONG>(std::lround(metrics.widthIncludingTrailingWhitespace * face.scaleX));
    Drop(&layout);
    return size;
}

bool BeginUnicodeDrawing(HDC dc, const RECT& area, bool colour, COLORREF textColour)
{
    const int width = area.right - area.left, rows = area.bottom - area.top;
    if (!Start() || rows <= 0 || width <= 0 || !MakeTarget(width, rows)) return false;
    if (colour && !u.colourPending) return false;
    if (!colour) u.colourPending = false;
    // The glyphs are laid over what the area shows: black (which needs no
    // copy), or in the colour pass the finished picture.
    HDC glyphs = u.target->GetMemoryDC();
    if (colour ? !BitBlt(glyphs, 0, 0, width, rows, dc, area.left, area.top, SRCCOPY)
               : !PatBlt(glyphs, 0, 0, width, rows, BLACKNESS))
        return false;
    u.ink = colour ? textColour : RGB(255, 255, 255);
    u.drawing = true;
    u.colourPass = colour;
    u.dc = dc;
    u.left = area.left;
    u.top = area.top;
    u.width = width;
    u.rows = rows;
    return true;
}

void DrawUnicodeLine(UnicodeFontSlot slot, int x, int y, const char16_t* text, uint32_t length, bool turned)
{
    const Face& face = u.faces[slot];
    if (!u.drawing || !face.format || length == 0) return;
    bool colour = false;
    IDWriteTextLayout* layout = LayOutLine(face, text, length, &colour);
    if (!layout) return;
    if (colour && !u.colourPass) u.colourPending = true;
    // GDI puts the baseline an ascent below the top of the cell; the layout
    // puts it where its tallest face wants it.
    DWRITE_LINE_METRICS line = {};
    UINT32 lines = 0;
    float baseline = static_cast<float>(face.ascent);
    if (SUCCEEDED(layout->GetLineMetrics(&line, 1, &lines)) && lines >= 1) baseline = line.baseline;
    if (!u.colourPass || colour) {
        // Turned a quarter clockwise, the top of the line lies along x and
        // the line runs down from y.
        const float lift = static_cast<float>(face.ascent) - baseline;
        if (turned)
            u.transform = {0, face.scaleX, -1, 0, static_cast<float>(x - u.left) - lift, static_cast<float>(y - u.top)};
        else
            u.transform = {face.scaleX, 0, 0, 1, static_cast<float>(x - u.left),
                           static_cast<float>(y - u.top + face.ascent) - baseline};
        u.target->SetCurrentTransform(&u.transform);
        layout->Draw(nullptr, &painter, 0, 0);
    }
    Drop(&layout);
}

void EndUnicodeDrawing()
{
    if (!u.drawing) return;
    u.drawing = false;
    BitBlt(u.dc, u.left, u.top, u.width, u.rows, u.target->GetMemoryDC(), 0, 0, SRCCOPY);
    u.dc = nullptr;
}

bool UnicodeColourPending() { return u.colourPending; }

void ReleaseUnicodeFonts()
{
    for (Face& face : u.faces) {
        Drop(&face.format);
        Drop(&face.font);
    }
}

void ReleaseUnicodeText()
{
    ReleaseUnicodeFonts();
    for (KnownFace& k : u.known) Drop(&k.font);
    Drop(&u.target);
    Drop(&u.params);
    Drop(&u.fallback);
    Drop(&u.interop);
    Drop(&u.fonts);
    Drop(&u.factory2);
    Drop(&u.factory);
    if (u.dwrite) FreeLibrary(u.dwrite);
    u = UnicodeText();
}
