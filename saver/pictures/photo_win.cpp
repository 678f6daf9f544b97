// Photographs (JPEG, PNG, GIF) for the bitmap presenter, decoded by the
// platform's imaging component: the first frame, turned upright by its
// camera orientation, scaled down to fit the screen, laid over the item's
// background and drawn centred into the source surface. From there on the
// item is an ordinary picture for the transitions.
//
// A photo is decoded on the one worker thread, the next one while the item
// before it is on screen, straight into a picture of the screen's size; its
// first tick then only lays the background around it.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/pictures/photo_fit.h"
#include "saver/pictures/pictures_win.h"

#include <wincodec.h>

#include <cstdint>

namespace {
template <typename T>
void ReleaseCom(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

// Windows 10's best filter; the headers here predate its name.
const WICBitmapInterpolationMode kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

bool SameGuid(const GUID& a, const GUID& b) { return IsEqualGUID(a, b) != FALSE; }

// The tag from the file's own first bytes, for imaging components that
// cannot query JPEG metadata.
uint16_t OrientationFromFileHead(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    uint16_t orientation = 1;
    HLOCAL head = LocalAlloc(LMEM_FIXED, kPhotoHeadBytes);
    DWORD got = 0;
    if (head && ReadFile(file, head, kPhotoHeadBytes, &got, nullptr))
        orientation = ReadJpegOrientation(static_cast<const uint8_t*>(head), got);
    if (head) LocalFree(head);
    CloseHandle(file);
    return orientation;
}

uint16_t PhotoOrientation(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame, const wchar_t* path)
{
    GUID container;
    if (FAILED(decoder->GetContainerFormat(&container)) || !SameGuid(container, GUID_ContainerFormatJpeg))
        return 1;
    uint16_t orientation = 0;
    IWICMetadataQueryReader* reader = nullptr;
    if (SUCCEEDED(frame->GetMetadataQueryReader(&reader)) && reader) {
        PROPVARIANT value;
        PropVariantInit(&value);
        if (SUCCEEDED(reader->GetMetadataByName(L"/app1/ifd/{ushort=274}", &value)) && value.vt == VT_UI2)
            orientation = value.uiVal;
        PropVariantClear(&value);
        ReleaseCom(reader);
    }
    return orientation != 0 ? orientation : OrientationFromFileHead(path);
}

// The component's options for a turn, where they say it without doubt: a
// rotation alone or a flip alone. For a quarter turn with a mirror the order
// in which the component combines the two is not to be relied on, and the
// turn is left to our own code.
bool TransformFor(PhotoTurn turn, WICBitmapTransformOptions* options)
{
    static const WICBitmapTransformOptions kRotations[4] = {
        WICBitmapTransformRotate0, WICBitmapTransformRotate90, WICBitmapTransformRotate180,
        WICBitmapTransformRotate270};
    if (turn.mirror && turn.quarterTurns % 2 == 1) return false;
    if (!turn.mirror) *options = kRotations[turn.quarterTurns % 4];
    else *options = turn.quarterTurns == 2 ? WICBitmapTransformFlipVertical : WICBitmapTransformFlipHorizontal;
    return true;
}

bool HasSize(IWICBitmapSource* source, PhotoSize size)
{
    UINT w = 0, h = 0;
    return SUCCEEDED(source->GetSize(&w, &h)) && w == size.width && h == size.height;
}

// 0x00RRGGBB of the item's background, as the decoded pixels lay out
// their channels.
uint32_t BackgroundPixel()
{
    LOGBRUSH brush = {};
    if (!g.BackgroundBrush || GetObject(g.BackgroundBrush, sizeof brush, &brush) != sizeof brush) return 0;
    return uint32_t(GetRValue(brush.lbColor)) << 16 | uint32_t(GetGValue(brush.lbColor)) << 8 |
           GetBValue(brush.lbColor);
}

// Everything one decoding holds, so that one release serves every path.
struct Decoding {
    IWICImagingFactory* factory;
    IWICBitmapDecoder* decoder;
    IWICBitmapFrameDecode* frame;
    IWICFormatConverter* converter;
    IWICBitmapScaler* scaler;
    IWICBitmapFlipRotator* rotator;
    HLOCAL unturned;       // pixels waiting to be turned by our own code
    HBITMAP section;
    HDC sectionDc;
    HGDIOBJ sectionOld;
};

void ReleaseDecoding(Decoding* d)
{
    if (d->sectionDc) {
        if (d->sectionOld) SelectObject(d->sectionDc, d->sectionOld);
        DeleteDC(d->sectionDc);
    }
    DeleteGdiObject(d->section);
    if (d->unturned) LocalFree(d->unturned);
    ReleaseCom(d->rotator);
    ReleaseCom(d->scaler);
    ReleaseCom(d->converter);
    ReleaseCom(d->frame);
    ReleaseCom(d->decoder);
    ReleaseCom(d->factory);
    *d = Decoding();
}

// The screen's whole picture as a top-down section, with the scaled (and,
// where the component can, turned) pixels written straight into their
// centred place; 0 on failure. The bands around them are left for the
// item's background.
int DecodeInto(Decoding* d, const wchar_t* path, uint32_t screenWidth, uint32_t screenHeight, uint32_t** bits,
               PhotoSize* shown)
{
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&d->factory))))
        return 0;
    HRESULT opened = d->factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                           WICDecodeMetadataCacheOnDemand, &d->decoder);
    // An animated GIF shows its first frame.
    if (FAILED(opened) || FAILED(d->decoder->GetFrame(0, &d->frame))) return 0;
    UINT width = 0, height = 0;
    if (FAILED(d->frame->GetSize(&width, &height))) return 0;
    // Refused before a single row is decoded.
    if (!PhotoSizeAcceptable(width, height, LargestAllocatableBlock())) return 0;

    if (FAILED(d->factory->CreateFormatConverter(&d->converter)) ||
        FAILED(d->converter->Initialize(d->frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                        0.0, WICBitmapPaletteTypeCustom)))
        return 0;

    PhotoTurn turn = TurnForOrientation(PhotoOrientation(d->decoder, d->frame, path));
    PhotoSize turned = TurnedSize({width, height}, turn);
    *shown = FitPhoto(turned.width, turned.height, screenWidth, screenHeight);
    if (shown->width == 0) return 0;
    // Scaled before it is turned: the turn then works on screen-sized rows.
    PhotoSize scaled = TurnedSize(*shown, turn);
    IWICBitmapSource* source = d->converter;
    if (scaled.width != width || scaled.height != height) {
        if (FAILED(d->factory->CreateBitmapScaler(&d->scaler))) return 0;
        // The best filter the component has; older ones know only Fant.
        if (FAILED(d->scaler->Initialize(source, scaled.width, scaled.height,
                                         kHighQualityCubic)) &&
            FAILED(d->scaler->Initialize(source, scaled.width, scaled.height, WICBitmapInterpolationModeFant)))
            return 0;
        source = d->scaler;
    }
    bool turning = turn.quarterTurns != 0 || turn.mirror;
    WICBitmapTransformOptions options;
    if (turning && TransformFor(turn, &options) &&
        (FAILED(d->factory->CreateBitmapFlipRotator(&d->rotator)) ||
         FAILED(d->rotator->Initialize(source, options)) || !HasSize(d->rotator, *shown)))
        ReleaseCom(d->rotator);

    // The screen's sides fit a LONG, and its pixels' bytes a UINT.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(screenWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(screenHeight);   // top-down, as the component writes
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* sectionBits = nullptr;
    // Made without a surface, so that the worker thread can make it too.
    d->section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    if (!d->section || !sectionBits) return 0;
    *bits = static_cast<uint32_t*>(sectionBits);
    uint32_t* place = *bits + size_t((screenHeight - shown->height) / 2) * screenWidth + (screenWidth - shown->width) / 2;
    const UINT stride = screenWidth * kPhotoBytesPerPixel, rowBytes = shown->width * kPhotoBytesPerPixel;
    const UINT bytes = stride * (shown->height - 1) + rowBytes;
    if (!turning || d->rotator) {
        IWICBitmapSource* last = d->rotator ? static_cast<IWICBitmapSource*>(d->rotator) : source;
        if (SUCCEEDED(last->CopyPixels(nullptr, stride, bytes, reinterpret_cast<BYTE*>(place)))) return 1;
        if (!turning) return 0;
    }
    // Some imaging components take the quarter turns on but cannot deliver
    // them; the turn is then ours, as it is for the mirrored quarter turns.
    const size_t pixels = size_t(shown->width) * shown->height;
    d->unturned = LocalAlloc(LMEM_FIXED, pixels * 2 * kPhotoBytesPerPixel);
    if (!d->unturned || FAILED(source->CopyPixels(nullptr, scaled.width * kPhotoBytesPerPixel, rowBytes * shown->height,
                                                  static_cast<BYTE*>(d->unturned))))
        return 0;
    uint32_t* upright = static_cast<uint32_t*>(d->unturned) + pixels;
    TurnPixels(static_cast<const uint32_t*>(d->unturned), scaled.width, scaled.height, turn, upright);
    for (uint32_t row = 0; row < shown->height; ++row)
        CopyMemory(place + size_t(row) * screenWidth, upright + size_t(row) * shown->width, rowBytes);
    return 1;
}
}

namespace {
// The screen's picture of one photo: a top-down 32-bit section of the
// screen's size, the photo at (x, y), and whether any of its pixels lets
// the background through.
struct DecodedPhoto {
    HBITMAP section;
    uint32_t* bits;
    PhotoSize shown;
    uint32_t x, y;
    bool opaque;
};

// path decoded and fitted to width x height; 0 on failure, with nothing held.
int DecodePhoto(const wchar_t* path, uint32_t width, uint32_t height, DecodedPhoto* out)
{
    Decoding d = {};
    *out = DecodedPhoto();
    if (!DecodeInto(&d, path, width, height, &out->bits, &out->shown)) {
        ReleaseDecoding(&d);
        *out = DecodedPhoto();
        return 0;
    }
    GdiFlush();   // the section's rows are written behind GDI's back
    out->x = (width - out->shown.width) / 2;
    out->y = (height - out->shown.height) / 2;
    out->opaque = true;
    for (uint32_t row = 0; row < out->shown.height && out->opaque; ++row)
        out->opaque = AllOpaque(out->bits + size_t(out->y + row) * width + out->x, out->shown.width);
    out->section = d.section;
    d.section = nullptr;
    ReleaseDecoding(&d);
    return 1;
}

void ReleaseDecoded(DecodedPhoto* photo)
{
    DeleteGdiObject(photo->section);
    *photo = DecodedPhoto();
}

// The worker and the saver share this block; whichever lets go last frees
// it, so a saver that ends while a decode runs need not wait for it.
struct AheadBlock {
    LONG refs;
    CRITICAL_SECTION lock;
    HANDLE wake;       // auto-reset: a request or the stop is waiting
    // Under the lock.
    uint32_t stop;
    uint32_t pending;   // a request the worker has not taken yet
    uint32_t running;   // the worker is decoding the request
    uint32_t done;      // result holds the request's outcome
    uint32_t ok;
    uint32_t generation;
    wchar_t path[kItemPathChars];
    uint32_t width, height;
    DecodedPhoto result;
};

// Decodes taking longer than this on the saver's way out are left to end
// on their own.
const DWORD kStopWaitMs = 250;
// A photo the worker has not finished after this long is taken for one
// that never will (a decoder caught in a loop, a file on a stalled share):
// the show reports it and goes on. A 24-megapixel photo takes about a
// second on a slow machine.
const DWORD kPhotoWaitMs = 15000;

void DropAhead(AheadBlock* block)
{
    if (InterlockedDecrement(&block->refs) != 0) return;
    ReleaseDecoded(&block->result);
    if (block->wake) CloseHandle(block->wake);
    DeleteCriticalSection(&block->lock);
    HeapFree(GetProcessHeap(), 0, block);
}

DWORD WINAPI AheadWorker(void* parameter)
{
    AheadBlock* block = static_cast<AheadBlock*>(parameter);
    // The component's objects live in this thread's own apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        EnterCriticalSection(&block->lock);
        if (block->stop) {
            LeaveCriticalSection(&block->lock);
            break;
        }
        if (!block->pending) {
            LeaveCriticalSection(&block->lock);
            WaitForSingleObject(block->wake, INFINITE);
            continue;
        }
        wchar_t path[kItemPathChars];
        CopyMemory(path, block->path, sizeof path);
        uint32_t width = block->width, height = block->height, generation = block->generation;
        block->pending = 0;
        block->running = 1;
        LeaveCriticalSection(&block->lock);

        DecodedPhoto photo;
        int ok = SUCCEEDED(com) ? DecodePhoto(path, width, height, &photo) : 0;

        EnterCriticalSection(&block->lock);
        block->running = 0;
        if (block->stop || generation != block->generation) {
            ReleaseDecoded(&photo);   // no one wants it any more
        } else {
            block->result = photo;
            block->ok = static_cast<uint32_t>(ok);
            block->done = 1;
        }
        LeaveCriticalSection(&block->lock);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    DropAhead(block);
    return 0;
}

AheadBlock* ahead = nullptr;
HANDLE aheadThread = nullptr;

bool StartAhead()
{
    if (ahead) return true;
    void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(AheadBlock));
    if (!memory) return false;
    AheadBlock* block = static_cast<AheadBlock*>(memory);
    InitializeCriticalSection(&block->lock);
    block->refs = 1;
    block->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (block->wake) {
        block->refs = 2;
        aheadThread = CreateThread(nullptr, 0, AheadWorker, block, 0, nullptr);
        if (!aheadThread) block->refs = 1;
    }
    if (!aheadThread) {
        DropAhead(block);
        return false;
    }
    ahead = block;
    return true;
}

// The result for path at width x height: 1 decoded, 0 failed, -1 not
// decoded ahead (the caller decodes it itself), -2 still being decoded (the
// tick goes on without waiting and asks again on the next one).
int TakeAhead(const wchar_t* path, uint32_t width, uint32_t height, DecodedPhoto* out)
{
    if (!ahead) return -1;
    EnterCriticalSection(&ahead->lock);
    bool same = lstrcmpW(ahead->path, path) == 0 && ahead->width == width && ahead->height == height;
    if (same && (ahead->running || ahead->pending)) {
        LeaveCriticalSection(&ahead->lock);
        return -2;
    }
    int taken = -1;
    if (same && ahead->done) {
        *out = ahead->result;
        taken = static_cast<int>(ahead->ok);
        ahead->result = DecodedPhoto();
        ahead->done = 0;
    }
    // Anything else is stale now: a request not yet begun is dropped, one
    // still running is thrown away when it ends.
    ReleaseDecoded(&ahead->result);
    ahead->done = 0;
    ahead->pending = 0;
    ahead->path[0] = L'\0';
    ++ahead->generation;
    LeaveCriticalSection(&ahead->lock);
    return taken;
}

// The worker is told to stop and left to end on its own: what it still
// decodes is freed when it is done, and a later request starts a new one.
void LetGoOfWorker(DWORD waitMs)
{
    if (!ahead) return;
    EnterCriticalSection(&ahead->lock);
    ahead->stop = 1;
    ahead->pending = 0;
    ReleaseDecoded(&ahead->result);
    ahead->done = 0;
    LeaveCriticalSection(&ahead->lock);
    SetEvent(ahead->wake);
    if (waitMs) WaitForSingleObject(aheadThread, waitMs);
    CloseHandle(aheadThread);
    aheadThread = nullptr;
    DropAhead(ahead);
    ahead = nullptr;
}

// The item's wait for the worker: true once it has lasted kPhotoWaitMs.
bool WaitedTooLong()
{
    const DWORD now = GetTickCount();
    if (!g.photoWaiting) {
        g.photoWaiting = 1;
        g.photoWaitStart = now;
    }
    return now - g.photoWaitStart >= kPhotoWaitMs;
}
}

void DecodePhotoAhead(const wchar_t* path)
{
    const int width = g.clientRect.right, height = g.clientRect.bottom;
    if (width <= 0 || height <= 0 || !StartAhead()) return;
    EnterCriticalSection(&ahead->lock);
    ReleaseDecoded(&ahead->result);
    ahead->done = 0;
    lstrcpynW(ahead->path, path, kItemPathChars);
    ahead->width = static_cast<uint32_t>(width);
    ahead->height = static_cast<uint32_t>(height);
    ++ahead->generation;
    ahead->pending = 1;
    LeaveCriticalSection(&ahead->lock);
    SetEvent(ahead->wake);
}

int ComposePhotoPicture()
{
    int width = g.clientRect.right;
    int height = g.clientRect.bottom;
    if (!g.ScreenSurface || width <= 0 || height <= 0) return 0;
    DecodedPhoto photo;
    int decoded = TakeAhead(g.currentPath, static_cast<uint32_t>(width), static_cast<uint32_t>(height), &photo);
    if (decoded == -1 && StartAhead()) {
        // Not asked for ahead: the worker decodes it all the same, so that
        // no decode holds the tick, however long it takes.
        DecodePhotoAhead(g.currentPath);
        decoded = -2;
    }
    if (decoded == -2) {
        if (!WaitedTooLong()) return kPhotoNotYet;
        LetGoOfWorker(0);
        decoded = 0;
    }
    g.photoWaiting = 0;
    if (decoded < 0)
        decoded = StartPhotoDecoding() &&
                  DecodePhoto(g.currentPath, static_cast<uint32_t>(width), static_cast<uint32_t>(height), &photo);
    if (!decoded) {
        ReleaseDecoded(&photo);
        return 0;
    }
    if (!photo.opaque) {
        const uint32_t background = BackgroundPixel();
        for (uint32_t row = 0; row < photo.shown.height; ++row)
            BlendOverBackground(photo.bits + size_t(photo.y + row) * uint32_t(width) + photo.x, photo.shown.width,
                                background);
    }

    // The section becomes the item's picture as it is (and, parked, the
    // next saying's); only the bands around the photo are filled.
    ReleaseMemorySurface(&g.SourceSurface);
    ReleaseMemorySurface(&g.spareSurface);
    MemorySurface& s = g.SourceSurface;
    s.dc = CreateCompatibleDC(g.ScreenSurface);
    s.oldBitmap = s.dc ? SelectObject(s.dc, photo.section) : nullptr;
    if (!s.oldBitmap) {
        ReleaseMemorySurface(&s);
        ReleaseDecoded(&photo);
        return 0;
    }
    s.bitmap = photo.section;
    g.dibW = static_cast<uint16_t>(photo.shown.width);
    g.dibH = static_cast<uint16_t>(photo.shown.height);
    g.dibX = static_cast<uint16_t>(photo.x);
    g.dibY = static_cast<uint16_t>(photo.y);
    const RECT bands[4] = {{0, 0, width, g.dibY},
                           {0, g.dibY + g.dibH, width, height},
                           {0, g.dibY, g.dibX, g.dibY + g.dibH},
                           {g.dibX + g.dibW, g.dibY, width, g.dibY + g.dibH}};
    for (const RECT& band : bands)
        if (band.right > band.left && band.bottom > band.top) FillRect(s.dc, &band, g.BackgroundBrush);
    return 1;
}

int StartPhotoDecoding()
{
    if (g.photoCom == 0) {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // Already set up otherwise by the thread's owner: usable, but not
        // ours to undo.
        g.photoCom = SUCCEEDED(hr) ? 1 : hr == RPC_E_CHANGED_MODE ? 2 : 0;
    }
    return g.photoCom != 0;
}

void StopPhotoDecoding()
{
    LetGoOfWorker(kStopWaitMs);
    g.photoWaiting = 0;
    if (g.photoCom == 1) CoUninitialize();
    g.photoCom = 0;
}
