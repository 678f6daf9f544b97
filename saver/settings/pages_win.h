// The configuration dialog's six pages, each a modal dialog over it that
// stores its own group of settings when its own OK is pressed.
#pragma once
#include <windows.h>

INT_PTR CALLBACK FadePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TextColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BackColorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LimitsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TextGenPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The version box: only its OK button closes it.
INT_PTR CALLBACK VersionBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Shared by the pages.
// A store that failed: the system's reason in a box owned by `owner`, so the
// user knows the settings were not kept and the page can stay open.
void ReportStoreFailure(HWND owner, LONG code);
// A list that would make a text longer than the loader reads back: refused
// with a box that says so, rather than stored cut short or not at all.
void ReportListTooLong(HWND owner);
// Text of one list box item as Shift-JIS bytes; false when it does not fit.
bool ListItemText932(HWND list, int index, char* out, int outSize);
// The list-page buttons: the candidate's selected text joins the chosen
// list unless an item there already begins with it (the list box's own
// prefix search, letter case ignored); remove drops the chosen selection.
void AddSelectedCandidate(HWND page, int candidatesId, int chosenId);
void RemoveSelectedChosen(HWND page, int chosenId);

// A settings value and the controls of a page that set it (0 ends the
// list). A value a policy sets keeps the policy's value, which the page
// has loaded, and its controls are disabled; the stores skip it anyway.
struct ManagedControls {
    const char* value;
    int controls[4];
};
// Gives whether any of the values is managed.
bool DisableManaged(HWND page, const ManagedControls* values, size_t count);
template <size_t N>
bool DisableManaged(HWND page, const ManagedControls (&values)[N]) { return DisableManaged(page, values, N); }
