#include "saver/common/errors_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/common/error_table.h"
#include "saver/common/mirror_win.h"

#include <cstring>

namespace {
// The surface's default font has Japanese glyphs only on a Japanese
// Windows; elsewhere the message would read "Em040" and a row of boxes. A
// Japanese face of the default font's height takes its place there. Null
// where none is needed or none can be had.
HFONT JapaneseFaceLike(HDC dc)
{
    if (GetACP() == 932) return nullptr;
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(dc, &metrics)) return nullptr;
    LOGFONTW face = {};
    face.lfHeight = metrics.tmHeight;   // cell height, as the default font's
    face.lfWeight = metrics.tmWeight;
    face.lfCharSet = SHIFTJIS_CHARSET;
    face.lfOutPrecision = OUT_TT_PRECIS;
    face.lfQuality = NONANTIALIASED_QUALITY;
    face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    return CreateFontIndirectW(&face);
}

void DrawMessage(HDC dc)
{
    int length = static_cast<int>(std::strlen(g.errorText));
    HFONT japanese = JapaneseFaceLike(dc);
    HGDIOBJ before = japanese ? SelectObject(dc, japanese) : nullptr;
    TEXTMETRICW metrics;
    int lineHeight = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    int y = ErrorTextY(g.clientRect.right, g.clientRect.bottom, lineHeight);
    TextOut932(dc, 0, y, g.errorText, length);
    // Other monitors show the message too: its rows go through the frame.
    HDC frame = FrameTarget(dc, g.clientRect.right, g.clientRect.bottom);
    if (frame != dc && lineHeight > 0) {
        BitBlt(frame, 0, y, g.clientRect.right, lineHeight, dc, 0, y, SRCCOPY);
        const int32_t rows[4] = {0, y, g.clientRect.right, y + lineHeight};
        PresentFrame(dc, frame, rows);
    }
    if (japanese) {
        SelectObject(dc, before);
        DeleteObject(japanese);
    }
}
}

const char* ReportError(HWND owner, int code, int mode)
{
    std::memset(g.errorText, 0, sizeof g.errorText);
    unsigned id = ErrorStringId(code);
    if (id != 0) LoadString932(g.instance, id, g.errorText, sizeof g.errorText);

    switch (mode) {
    case DrawOnItemSurface:
        if (g.ScreenSurface) DrawMessage(g.ScreenSurface);
        break;
    case DrawOnWindow: {
        HDC dc = GetDC(owner);
        if (dc) {
            DrawMessage(dc);
            ReleaseDC(owner, dc);
        }
        break;
    }
    case ShowMessageBox:
        MessageBox932(owner, g.errorText, g.titleText, MB_ICONERROR);
        break;
    default:
        break;
    }
    return g.errorText;
}
