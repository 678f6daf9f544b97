// The two colour pages: the colours words are written in and the colours
// they are shown on, each a list of swatches the page draws itself.
#include "saver/settings/pages_win.h"

#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/page_rules.h"
#include "saver/settings/store_win.h"
#include "saver/common/errors_win.h"

#include <commdlg.h>
#include <cstring>

namespace {
const int kColourLimitMessage = 51;   // Em051
const UINT kSwatchHeight = 30;
const COLORREF kWhite = RGB(255, 255, 255);

struct ColourPage {
    const char* value;
    void(WINAPI* load)(HWND);
    LONG (*store)();
    uint32_t* table;
    uint16_t* count;
    COLORREF custom[16];   // the colour dialog's own colours, this page's alone
};

ColourPage textPage = {"Color", GetIniSettings3, StoreColorSettings, g.settings.Color, &g.settings.ColorCount, {}};
ColourPage backPage = {"Back", GetIniSettings6, StoreBackSettings, g.settings.Back, &g.settings.BackCount, {}};

HWND Swatches(HWND page) { return GetDlgItem(page, IDC_SWATCHES); }

// Items go in at the end, whatever the list's sorting: the page holds the
// colours in the order they were stored or added, and stores them so.
void AppendSwatch(HWND page, uint32_t colour)
{
    SendMessageW(Swatches(page), LB_INSERTSTRING, static_cast<WPARAM>(-1), static_cast<LPARAM>(colour));
}

// The first `limit` colours of the list; gives how many.
int ListedColours(HWND page, uint32_t* out, int limit)
{
    LRESULT count = SendMessageW(Swatches(page), LB_GETCOUNT, 0, 0);
    int n = 0;
    for (; n < count && n < limit; ++n)
        out[n] = static_cast<uint32_t>(SendMessageW(Swatches(page), LB_GETITEMDATA, static_cast<WPARAM>(n), 0));
    return n;
}

void OpenColourPage(HWND page, const ColourPage& p)
{
    p.load(page);
    for (int i = 0; i < *p.count; ++i) AppendSwatch(page, p.table[i]);
    const ManagedControls controls[] = {{p.value, {IDC_SWATCHES, IDC_ADD_COLOUR, IDC_REMOVE_COLOUR}}};
    DisableManaged(page, controls);
}

void AddColour(HWND page, ColourPage& p)
{
    uint32_t colours[kPageColourLimit];
    if (SendMessageW(Swatches(page), LB_GETCOUNT, 0, 0) >= kPageColourLimit) {
        ReportError(page, kColourLimitMessage, ShowMessageBox);
        return;
    }
    for (COLORREF& c : p.custom) c = kWhite;
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = page;
    choose.rgbResult = GetSysColor(COLOR_WINDOW);
    choose.lpCustColors = p.custom;
    choose.Flags = CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return;
    // Refused here, where the user still sees which colour it was, rather
    // than at OK with the whole list at stake.
    int count = ListedColours(page, colours, kPageColourLimit);
    if (!ColourListFits(colours, count, true, choose.rgbResult, kListTextSize - 1)) {
        ReportListTooLong(page);
        return;
    }
    AppendSwatch(page, choose.rgbResult);
}

void RemoveColour(HWND page)
{
    LRESULT selected = SendMessageW(Swatches(page), LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) SendMessageW(Swatches(page), LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

// False when the page must stay open.
bool StoreColourPage(HWND page, const ColourPage& p)
{
    uint32_t colours[kPageColourLimit];
    int count = ListedColours(page, colours, kPageColourLimit);
    // A list loaded from elsewhere may already be too long to keep.
    if (!ColourListFits(colours, count, false, 0, kListTextSize - 1)) {
        ReportListTooLong(page);
        return false;
    }
    std::memcpy(p.table, colours, sizeof(uint32_t) * static_cast<size_t>(count));
    *p.count = static_cast<uint16_t>(count);
    LONG stored = p.store();
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(page, stored);
        return false;
    }
    p.load(page);
    return true;
}

void Frame(HDC dc, const RECT& item, int inset, HBRUSH brush)
{
    RECT r;
    CopyRect(&r, &item);
    InflateRect(&r, -inset, -inset);
    FrameRect(dc, &r, brush);
}

// Rings from the outside in: 1 the selection, 2 the focus, 3 on the
// swatch with its black outline, so each redraw covers exactly what the
// last one drew.
void DrawSwatch(const DRAWITEMSTRUCT* d)
{
    if (d->itemID == static_cast<UINT>(-1)) return;
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    bool entire = (d->itemAction & ODA_DRAWENTIRE) != 0;
    if (entire) {
        Frame(d->hDC, d->rcItem, 0, window);
        RECT swatch;
        CopyRect(&swatch, &d->rcItem);
        InflateRect(&swatch, -3, -3);
        HBRUSH colour = CreateSolidBrush(static_cast<COLORREF>(d->itemData));
        if (colour) {
            FillRect(d->hDC, &swatch, colour);
            DeleteObject(colour);
        }
        FrameRect(d->hDC, &swatch, black);
    }
    if (entire || (d->itemAction & ODA_SELECT))
        Frame(d->hDC, d->rcItem, 1, (d->itemState & ODS_SELECTED) ? black : window);
    if (entire || (d->itemAction & ODA_FOCUS))
        Frame(d->hDC, d->rcItem, 2, (d->itemState & ODS_FOCUS) ? grey : window);
}

INT_PTR ColourPageProc(ColourPage& p, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OpenColourPage(page, p);
        return TRUE;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kSwatchHeight;
        return TRUE;
    case WM_DRAWITEM:
        DrawSwatch(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(page, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ADD_COLOUR:
            AddColour(page, p);
            return TRUE;
        case IDC_REMOVE_COLOUR:
            RemoveColour(page);
            return TRUE;
        case IDOK:
            if (StoreColourPage(page, p)) EndDialog(page, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(page, 0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
}

INT_PTR CALLBACK TextColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ColourPageProc(textPage, page, message, wParam, lParam);
}

INT_PTR CALLBACK BackColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ColourPageProc(backPage, page, message, wParam, lParam);
}
