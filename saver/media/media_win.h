// Songs, sounds, videos and TextGenDLL plug-ins beside the show.
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
