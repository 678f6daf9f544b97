// Media: songs, sounds and corner videos that play beside the show, and
// TextGenDLL plug-ins whose texts are shown as sayings.
#pragma once
#include <windows.h>

void InitAviSlots();
void OnMediaNotify(UINT deviceId);
void StopAllMedia();
void PlayMidiItem(HWND window);
void PlayWaveItem(HWND window);
void PlayAviItem(HWND window);
void ShowPluginItem(HWND window);
void ReleasePlugin();
// Closes the hosts of plug-ins already let go once they have ended; every
// tick.
void TendPluginHosts();
// The plug-in and every host still ending, at the window's end.
void EndPluginHosts();
