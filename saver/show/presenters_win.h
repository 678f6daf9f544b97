// The presenters the show cycle hands its ticks to.
#pragma once
#include <windows.h>
#include <cstdint>

void RenderTextItem(HWND window, uint16_t mode);     // text items and plug-in texts
void ShowBitmapTick(HWND window);                    // bitmap items
void OpeningStep(HWND window);                       // the opening sequence
void SystemInfoStep(HWND window);                    // the list near the opening's end
void BuildCatalogue(HWND window);
void NextCatalogueItem(HWND window);
void FreeCatalogue();
uint16_t ReadWordsFile(HWND window, const char* path);
