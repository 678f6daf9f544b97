// Placeholder until the page is built: it opens and closes and stores nothing.
#include "saver/settings/pages_win.h"

INT_PTR CALLBACK TextColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(page, 0);
        return TRUE;
    }
    return FALSE;
}
INT_PTR CALLBACK BackColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(page, 0);
        return TRUE;
    }
    return FALSE;
}
