// The font page: which Japanese TrueType faces the sayings are written in,
// and whether they are set across or down the screen.
#include "saver/settings/pages_win.h"

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/page_rules.h"
#include "saver/settings/settings_lists.h"
#include "saver/settings/store_win.h"
#include "saver/common/errors_win.h"

#include <cstring>

namespace {
const int kFontLimitMessage = 52;   // Em052

// The faces kept so far, in a block that grows one entry at a time.
struct Gathered {
    HGLOBAL block;
    int kept;
};

// The face's Shift-JIS bytes, or false when it has none that gives the
// same name back (a face the saver could not ask for by name).
bool FaceName932(const wchar_t* face, char* out, int outSize)
{
    if (NarrowTo932(face, -1, out, outSize) <= 0) return false;
    Wide932 back;
    WideFrom932(&back, out, -1);
    bool same = lstrcmpW(back.text, face) == 0;
    FreeWide932(&back);
    return same;
}

int CALLBACK KeepFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM data)
{
    Gathered* gathered = reinterpret_cast<Gathered*>(data);
    char face[kFontEntrySize];
    if (!FaceName932(font->lfFaceName, face, sizeof face)) return 1;
    if (!FontPageOffers(fontType, font->lfCharSet, face, std::strlen(face))) return 1;
    HGLOBAL grown = GlobalReAlloc(gathered->block, static_cast<SIZE_T>(gathered->kept + 1) * kFontEntrySize,
                                  GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (grown == nullptr) return 0;   // out of memory: keep what was gathered
    gathered->block = grown;
    char* entries = static_cast<char*>(GlobalLock(grown));
    if (entries == nullptr) return 0;
    lstrcpynA(entries + gathered->kept * kFontEntrySize, face, kFontEntrySize);
    GlobalUnlock(grown);
    ++gathered->kept;
    return 1;
}

void OfferFonts(HWND page)
{
    HWND candidates = GetDlgItem(page, IDC_CANDIDATES);
    SendMessageW(candidates, LB_RESETCONTENT, 0, 0);
    Gathered gathered = {GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1), 0};
    if (gathered.block == nullptr) return;
    HDC dc = GetDC(page);
    if (dc) {
        EnumFontFamiliesW(dc, nullptr, KeepFamily, reinterpret_cast<LPARAM>(&gathered));
        ReleaseDC(page, dc);
    }
    const char* entries = static_cast<const char*>(GlobalLock(gathered.block));
    if (entries) {
        for (int i = 0; i < gathered.kept && i < kPageFontOffers; ++i)
            ListBoxAdd932(candidates, entries + i * kFontEntrySize);
        GlobalUnlock(gathered.block);
    }
    GlobalFree(gathered.block);
}

const ManagedControls kFontControls[] = {
    {"Font", {IDC_CANDIDATES, IDC_CHOSEN_FONTS, IDC_ADD, IDC_REMOVE}},
    {"Vertical", {IDC_VERTICAL}},
};

void OpenFontPage(HWND page)
{
    OfferFonts(page);
    GetIniSettings4(page);
    // Faces no longer on the system stay chosen like any other.
    HWND chosen = GetDlgItem(page, IDC_CHOSEN_FONTS);
    for (int i = 0; i < g.settings.FontCount && i < kMaxFonts; ++i) ListBoxAdd932(chosen, g.settings.Font[i]);
    CheckDlgButton(page, IDC_VERTICAL, g.settings.Vertical != 0 ? BST_CHECKED : BST_UNCHECKED);
    DisableManaged(page, kFontControls);
}

// False when the page must stay open.
bool StoreFontPage(HWND page)
{
    HWND chosen = GetDlgItem(page, IDC_CHOSEN_FONTS);
    LRESULT count = SendMessageW(chosen, LB_GETCOUNT, 0, 0);
    if (count < 0) count = 0;
    if (count >= kPageFontLimit) {
        ReportError(page, kFontLimitMessage, ShowMessageBox);
        return false;
    }
    char faces[kMaxFonts][kFontSlotSize] = {};
    for (int i = 0; i < count; ++i) {
        if (!ListItemText932(chosen, i, faces[i], kFontSlotSize)) {
            ReportListTooLong(page);
            return false;
        }
    }
    // Long names can pass what the loader reads before the count does.
    char text[kFontTextSize];
    if (FormatFontList(faces, static_cast<int>(count), text, sizeof text, kFontTextSize - 1) < 0) {
        ReportListTooLong(page);
        return false;
    }
    std::memcpy(g.settings.Font, faces, sizeof faces);
    g.settings.FontCount = static_cast<int32_t>(count);
    g.settings.Vertical = IsDlgButtonChecked(page, IDC_VERTICAL) == BST_CHECKED ? 1 : 0;
    LONG stored = StoreFontSettings();
    if (stored != ERROR_SUCCESS) {
        ReportStoreFailure(page, stored);
        return false;
    }
    GetIniSettings4(page);
    return true;
}
}

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OpenFontPage(page);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_ADD:
        AddSelectedCandidate(page, IDC_CANDIDATES, IDC_CHOSEN_FONTS);
        return FALSE;
    case IDC_REMOVE:
        RemoveSelectedChosen(page, IDC_CHOSEN_FONTS);
        return FALSE;
    case IDOK:
        if (StoreFontPage(page)) EndDialog(page, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(page, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
