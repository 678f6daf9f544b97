// The system's folder picker for the words folder.
#pragma once
#include <windows.h>

// Opens the picker over owner, starting at start (may be empty or a folder
// that no longer exists). True with the chosen folder in chosen (chosenChars
// units, terminated) when the user picked one; false when cancelled or
// when no picker could be shown.
bool PickFolder(HWND owner, const wchar_t* start, wchar_t* chosen, size_t chosenChars);
