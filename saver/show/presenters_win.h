// The presenters the show cycle hands its ticks to.
#pragma once
#include <windows.h>
#include <cstdint>

void RenderTextItem(HWND window, uint16_t mode);     // text items and plug-in texts
void ShowBitmapTick(HWND window);                    // bitmap items
// The bitmap presenter's parts: the file into g.dibBlock (image size, 0 on
// failure), the picture into g.SourceSurface on g.ScreenSurface (0 on
// failure), and the release of everything the item holds.
uint32_t LoadDib(const char* path);
int ComposeBitmapPicture();
void ReleaseBitmapItem();
// Photos (.jpg .jpeg .jpe .png .gif) through the imaging component: the
// picture into g.SourceSurface on g.ScreenSurface (0 on failure). COM is
// set up for the thread on the first photo and let go with the window.
int ComposePhotoPicture();
int StartPhotoDecoding();
void StopPhotoDecoding();
// The largest block worth asking for, in bytes.
uint64_t LargestAllocatableBlock();
void OpeningStep(HWND window);                       // the opening sequence
void SystemInfoStep(HWND window);                    // the list near the opening's end
void CloseSystemInfo();                              // takes the list down if it is up
void BuildCatalogue(HWND window);
void NextCatalogueItem(HWND window);
void FreeCatalogue();
uint16_t ReadWordsFile(HWND window, const char* path);
