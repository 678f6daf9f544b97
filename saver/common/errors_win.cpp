#include "saver/common/errors_win.h"

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/common/error_table.h"
#include "saver/common/mirror_win.h"

#include <cstring>

namespace {
void DrawMessage(HDC dc)
{
    int length = static_cast<int>(std::strlen(g.errorText));
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
