// The bitmap presenter: on an item's first tick the file becomes a DIB in
// one movable block and is drawn, centred on the background, into the
// source surface; every tick then hands the picture to the transition
// engine, and the item lets go of everything when the engine is done.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/common/content_kind.h"
#include "saver/pictures/dib.h"
#include "saver/common/errors_win.h"
#include "saver/pictures/pictures_win.h"
#include "saver/transitions/transition_win.h"

#include <cstdint>
#include <cstring>

namespace {
const int kBitmapLoadError = 4;

uint32_t ReadFromFile(void* context, void* buffer, uint32_t length)
{
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(context), buffer, length, &got, nullptr)) return 0;
    return got;
}

int SeekInFile(void* context, uint32_t offset)
{
    LONG high = 0;
    DWORD low = SetFilePointer(static_cast<HANDLE>(context), static_cast<LONG>(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

HPALETTE MakePalette(const uint8_t* colourTable, uint32_t n)
{
    HLOCAL memory = LocalAlloc(LMEM_FIXED, DibLogPaletteSize(n));
    if (!memory) return nullptr;
    DibFillLogPalette(colourTable, n, static_cast<uint8_t*>(memory));
    HPALETTE palette = CreatePalette(static_cast<LOGPALETTE*>(memory));
    LocalFree(memory);
    return palette;
}

// Draws the locked DIB into the source surface; 0 when the palette-index
// table cannot be had.
int DrawPicture(const uint8_t* block)
{
    DibPicture picture = DibDescribeBlock(block);
    HDC screen = g.ScreenSurface;
    int width = g.clientRect.right;
    int height = g.clientRect.bottom;
    TakeSourceSurface(screen, width, height);
    if (!g.SourceSurface.dc || !g.SourceSurface.oldBitmap) return 0;

    if (picture.colourCount != 0) {
        g.dibPalette = MakePalette(block + picture.tableOffset, picture.colourCount);
        // A palette that cannot be made is not worth a message: the picture
        // is drawn without it.
        if (g.dibPalette && g.SourceSurface.dc) {
            SelectPalette(g.SourceSurface.dc, g.dibPalette, FALSE);
            RealizePalette(g.SourceSurface.dc);
        }
    }

    const void* info = block;
    g.dibColorUse = DIB_RGB_COLORS;
    if (picture.paletteIndices) {
        g.dibIndexTable = GlobalAlloc(GMEM_MOVEABLE, DibIndexTableSize(picture.colourCount));
        if (!g.dibIndexTable) return 0;
        g.dibIndexTableLocked = GlobalLock(g.dibIndexTable);
        if (!g.dibIndexTableLocked) return 0;
        DibFillIndexTable(block, picture.colourCount, static_cast<uint8_t*>(g.dibIndexTableLocked));
        info = g.dibIndexTableLocked;
        g.dibColorUse = DIB_PAL_COLORS;
    }

    g.dibW = picture.drawnWidth;
    g.dibH = picture.drawnHeight;
    g.dibX = DibOrigin(picture.width, width);
    // Rows stored top-down are drawn upright by the DIB drawing itself; the
    // centring works on the number of rows.
    g.dibY = DibOrigin(static_cast<int32_t>(picture.drawnHeight), height);

    RECT all = {0, 0, width, height};
    FillRect(g.SourceSurface.dc, &all, g.BackgroundBrush);
    StretchDIBits(g.SourceSurface.dc, g.dibX, g.dibY, g.dibW, g.dibH, 0, 0, g.dibW, g.dibH,
                  block + picture.pixelOffset, static_cast<const BITMAPINFO*>(info), g.dibColorUse, SRCCOPY);
    return 1;
}
}

// The largest block worth asking for: what the process can still address
// and the system can still commit. A photograph of tens of megabytes fits;
// a header that asks for more is refused before anything is allocated.
uint64_t LargestAllocatableBlock()
{
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return kDibLargestBlock;
    uint64_t largest = status.ullAvailVirtual;
    if (status.ullAvailPageFile < largest) largest = status.ullAvailPageFile;
    return largest;
}

uint32_t LoadDib(const char* path)
{
    FreeGlobalBlock(&g.dibBlock);
    HANDLE file = CreateFile932(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    // Only a file on a disk: a device would block the tick or never end.
    DWORD sizeHigh = 0;
    DWORD sizeLow = GetFileType(file) == FILE_TYPE_DISK ? GetFileSize(file, &sizeHigh) : 0;
    if (sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) sizeLow = 0;
    uint32_t fileSize = sizeHigh != 0 ? UINT32_MAX : sizeLow;

    DibReader reader = {file, ReadFromFile, SeekInFile};
    DibLayout layout;
    uint32_t imageSize = 0;
    if (fileSize != 0 && DibReadHeaders(&reader, fileSize, &layout, LargestAllocatableBlock()) == DibAccepted) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, layout.blockSize);
        void* locked = block ? GlobalLock(block) : nullptr;
        if (locked) {
            DibRefusal read = DibReadBody(&reader, &layout, static_cast<uint8_t*>(locked), layout.blockSize);
            GlobalUnlock(block);
            if (read == DibAccepted) {
                g.dibBlock = block;
                block = nullptr;
                imageSize = layout.imageSize;
            }
        }
        if (block) GlobalFree(block);
    }
    CloseHandle(file);
    return imageSize;
}

int ComposeBitmapPicture()
{
    // Whatever an earlier item left behind is stale by now.
    ReleaseBitmapItem();
    if (IsPhotoFileName(g.currentPath)) return ComposePhotoPicture();
    if (LoadDib(g.currentPath) == 0) return 0;
    const uint8_t* block = static_cast<const uint8_t*>(GlobalLock(g.dibBlock));
    if (!block) return 0;
    int drawn = DrawPicture(block);
    GlobalUnlock(g.dibBlock);
    return drawn;
}

void ReleaseBitmapItem()
{
    ParkSourceSurface();   // lets go of the palette it holds
    FreeGlobalBlock(&g.dibBlock);
    DeleteGdiObject(g.dibPalette);
    FreeGlobalBlock(&g.dibIndexTable);
    g.dibIndexTableLocked = nullptr;
    g.dibColorUse = 0;
}

void ShowBitmapTick(HWND window)
{
    g.ScreenSurface = GetDC(window);
    const int composed = g.bitmapTicks == 0 ? ComposeBitmapPicture() : 1;
    if (composed == kPhotoNotYet) {
        // The screen keeps what it shows until the worker is done.
        ReleaseDC(window, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        return;
    }
    if (!composed) {
        ReportError(window, kBitmapLoadError, DrawOnItemSurface);
        ReleaseBitmapItem();
        ReleaseDC(window, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        g.bitmapTicks = 0;
        g.itemBusy = 0;
        return;
    }
    int finished = StepTransition(g.ScreenSurface, g.SourceSurface.dc);
    ReleaseDC(window, g.ScreenSurface);
    g.ScreenSurface = nullptr;
    if (!finished) {
        ++g.bitmapTicks;
        return;
    }
    ReleaseBitmapItem();
    g.bitmapTicks = 0;
    g.itemBusy = 0;
}
