// Pictures: bitmap files read by our own reader, photos (JPEG, PNG, GIF)
// through the imaging component, each fitted and centred on the item's
// background and handed to the transitions.
#pragma once
#include <windows.h>
#include <cstdint>

// Every tick of a picture item.
void ShowBitmapTick(HWND window);

// The bitmap presenter's parts: the file into g.dibBlock (image size, 0 on
// failure), the picture into g.SourceSurface on g.ScreenSurface (0 on
// failure, kPhotoNotYet as for photos), and the release of everything the
// item holds.
uint32_t LoadDib(const char* path);
int ComposeBitmapPicture();
void ReleaseBitmapItem();

// Photos (.jpg .jpeg .jpe .png .gif) through the imaging component: the
// picture into g.SourceSurface on g.ScreenSurface (0 on failure,
// kPhotoNotYet while the worker still decodes it: nothing is held then and
// the item's first tick comes again). COM is set up for the thread on the
// first photo and let go with the window.
enum { kPhotoNotYet = 2 };
int ComposePhotoPicture();
int StartPhotoDecoding();
// The photo at path (the show's next item) decoded and fitted to the screen
// on the worker thread, for ComposePhotoPicture to take when that item
// comes; a later request replaces an earlier one.
void DecodePhotoAhead(const char* path);
// Lets go of COM and stops the worker, releasing what it holds.
void StopPhotoDecoding();

// The largest block worth asking for, in bytes.
uint64_t LargestAllocatableBlock();
