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

// A store that failed: the system's reason in a box over the page (caption
// the title), so the page can stay open instead of looking stored.
void ReportStoreFailure(HWND owner, LONG code);
