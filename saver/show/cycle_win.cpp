// The show cycle: start-up, the 100 ms tick that drives every presenter,
// and the release of everything at the end.
#include "saver/show/cycle_win.h"

#include "saver/common/content_kind.h"
#include "saver/common/message_path_win.h"
#include "common/text932_win.h"
#include "saver/media/media_win.h"
#include "saver/saver_state.h"
#include "saver/settings/store_win.h"
#include "saver/show/catalogue.h"
#include "saver/sayings/sayings_win.h"
#include "saver/pictures/pictures_win.h"
#include "saver/opening/opening_win.h"
#include "saver/show/catalogue_win.h"
#include "saver/common/random.h"
#include "saver/transitions/transition_win.h"

#include <cstring>
#include <ctime>

namespace {
const wchar_t kEmptyCatalogueSentinel[] = L"EM998";

void ReplaceBackgroundBrush(COLORREF colour)
{
    if (g.BackgroundBrush) DeleteObject(g.BackgroundBrush);
    g.BackgroundBrush = CreateSolidBrush(colour);
}

void OnCreate(HWND window)
{
    LoadStartupStrings();
    GetIniSettings();
    GetIniSettings2(window);
    GetIniSettings3(window);
    GetIniSettings4(window);
    GetIniSettings5(window);
    GetIniSettings6(window);
    CheckComPorts();
    if (g.settings.UsedCOMNoRun != 0 && g.portsFree == 0) {
        DestroyWindow(window);
        return;
    }
    g.blackBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ReplaceBackgroundBrush(RGB(0, 0, 0));
    BuildCatalogue(window);
    GetClientRect(window, &g.clientRect);
    // A first item that is a photo is decoded while the opening runs.
    wchar_t first[kItemPathChars];
    PeekCatalogueItem(first);
    if (g.catalogue.count != 0 && IsPhotoFileName16(AsUtf16(first))) DecodePhotoAhead(first);
    g.ShowTimer = static_cast<uint16_t>(SetTimer(window, kShowTimerId, g.settings.TickInterval, nullptr));
    InitAviSlots();
    g.openingState = 0;
    g.itemBusy = 0;
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
}

void StartNextItem(HWND window)
{
    g.itemBusy = 1;
    if (g.catalogue.count == 0) {
        std::memset(g.currentPath, 0, sizeof g.currentPath);
        std::memcpy(g.currentPath, kEmptyCatalogueSentinel, sizeof kEmptyCatalogueSentinel);
        g.currentKind = KindText;
    } else {
        NextCatalogueItem(window);
        g.currentKind = ItemKind16(AsUtf16(g.currentPath));
    }
    uint16_t index = RandomIndex(g.settings.BackCount);
    if (index >= kMaxBackColors) index = 0;
    ReplaceBackgroundBrush(g.settings.Back[index]);
}

void PresentCurrentItem(HWND window)
{
    switch (g.currentKind) {
    case KindText:
        RenderTextItem(window, 0);
        break;
    case KindBitmap:
        ShowBitmapTick(window);
        break;
    case KindMidi:
        PlayMidiItem(window);
        break;
    case KindWave:
        PlayWaveItem(window);
        break;
    case KindAvi:
        PlayAviItem(window);
        break;
    case KindTextGen:
        ShowPluginItem(window);
        break;
    default:
        // A kind the saver cannot present (a path it could not name) must
        // not hold the show on one item forever: pass it over.
        g.itemBusy = 0;
        break;
    }
}

void OnTimer(HWND window)
{
    if (g.openingState == 0) {
        if (g.settings.Opening != 0) OpeningStep(window);
        else g.openingState = 100;
    }
    TendPluginHosts();
    if (g.openingState < 100) return;
    if (g.itemBusy == 0) {
        StartNextItem(window);
        g.nextAsked = 0;
    }
    PresentCurrentItem(window);
    // Once this item has its own picture (a photo may still be waiting for
    // the worker), the photo after it is decoded while it is shown.
    const bool waiting = g.currentKind == KindBitmap && g.itemBusy && g.bitmapTicks == 0;
    if (!g.nextAsked && !waiting && g.catalogue.count != 0) {
        g.nextAsked = 1;
        wchar_t next[kItemPathChars];
        PeekCatalogueItem(next);
        if (IsPhotoFileName16(AsUtf16(next))) DecodePhotoAhead(next);
    }
}

void OnDestroy(HWND window)
{
    // The window's surface is its own (CS_OWNDC) and outlives each tick, so
    // a font the opening left in it is put back even between ticks.
    if (g.savedFont) {
        HDC dc = g.ScreenSurface ? g.ScreenSurface : GetDC(window);
        if (dc) SelectObject(dc, g.savedFont);
        if (dc && dc != g.ScreenSurface) ReleaseDC(window, dc);
    }
    if (g.ScreenSurface) ReleaseDC(window, g.ScreenSurface);
    g.ScreenSurface = nullptr;
    g.savedFont = nullptr;
    FreeCatalogue();
    DeleteGdiObject(g.BackgroundBrush);
    if (g.ShowTimer) KillTimer(window, kShowTimerId);
    g.ShowTimer = 0;
    DeleteGdiObject(g.titleFont);
    DeleteGdiObject(g.creditFont);
    FreeGlobalBlock(&g.textBuffer);
    ReleaseTextEngine();
    // The frames may still be selected into the source surface; it lets
    // go of them before they are deleted.
    ReleaseMemorySurface(&g.SourceSurface);
    ReleaseMemorySurface(&g.spareSurface);
    for (HBITMAP& frame : g.frameBitmaps) DeleteGdiObject(frame);
    ReleaseDarkSurface();
    DeleteGdiObject(g.mainFont);
    DeleteGdiObject(g.subFont);
    FreeGlobalBlock(&g.dibBlock);
    FreeGlobalBlock(&g.dibIndexTable);
    g.dibIndexTableLocked = nullptr;
    DeleteGdiObject(g.dibPalette);
    if (g.sysInfoWindow) DestroyWindow(g.sysInfoWindow);
    g.sysInfoWindow = nullptr;
    StopAllMedia();
    EndPluginHosts();
    StopPhotoDecoding();
}
}

void CheckComPorts()
{
    static const char* const kPorts[4] = {"COM1", "COM2", "COM3", "COM4"};
    g.portsFree = 1;
    g.portsChosen = 0;
    for (int i = 0; i < 4; ++i) {
        if (g.settings.COM[i] == 0) continue;
        g.portsChosen = 1;
        HANDLE port = CreateFile932(kPorts[i], GENERIC_READ, 0, OPEN_EXISTING, 0);
        if (port == INVALID_HANDLE_VALUE) g.portsFree = 0;
        else CloseHandle(port);
    }
}

extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                                                LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (g.BackgroundBrush) FillRect(dc, &g.clientRect, g.BackgroundBrush);
        return 0;
    }
    case WM_TIMER:
        OnTimer(window);
        break;
    case MM_MCINOTIFY:
        OnMediaNotify(LOWORD(lParam));
        break;
    default:
        break;
    }
    return SaverDefaultHandler(window, message, wParam, lParam);
}
