// The saver host: process entry, run modes, the saver window's own
// message handling and dismissal, the covers of other monitors, the fault
// guard and the screen-saver password.
#pragma once
#include <windows.h>

#include "saver/common/message_path_win.h"

int SaverMain(HINSTANCE instance, const char* argumentText);
int RunSaver(HWND parent);
int ConfigureSaver(HWND owner);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Full screen only: windows over the other monitors (mirrors of the show,
// or black), owned by the saver window.
void CreateCoverWindows();
void DestroyCoverWindows();
void FollowDisplayChange(HWND window);

// The guard around the run modes: a fault ends the process with
// kSaverFaultExitCode after the screen-saver-running state is cleared.
// 3 is what the C runtime's abort gives, and no mode returns it.
enum { kSaverFaultExitCode = 3 };
void InstallFaultGuard();
void RemoveFaultGuard();

// The Windows 95 family's screen-saver password; on other platforms they
// do nothing and every close is accepted.
void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(UINT flag);
BOOL ConfirmClose(HWND window);
int ChangeSaverPassword(const char* argumentText);
