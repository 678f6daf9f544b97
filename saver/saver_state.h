// The one process-wide record of the saver module. Every field starts at
// zero; a handle or block that holds 0 is absent.
#pragma once
#include <windows.h>
#include <imm.h>
#include <cstdint>

#include "saver/common/plugin_host_win.h"
#include "saver/common/monitors.h"
#include "saver/media/media_stages.h"
#include "saver/settings/settings_fields.h"
#include "saver/show/catalogue.h"
#include "saver/transitions/transition_logic.h"

enum {
    kStartupTextSize = 50,
    kErrorTextSize = 100,
    kOpeningFrames = 13,
    SaverVerifyPasswordMessage = 0x8000,
    kShowTimerId = 200,
};

// A memory drawing surface with what was selected into it before.
struct MemorySurface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HGDIOBJ oldFont;
};

typedef HIMC (WINAPI *ImmAssociateContextFn)(HWND, HIMC);
typedef BOOL (WINAPI *VerifyScreenSavePwdFn)(HWND);

struct SaverState {
    // Host.
    HINSTANCE instance;
    HWND saverWindow;
    uint32_t isPreview;
    uint32_t isWin95Platform;
    uint32_t closing;
    POINT cursorAnchor;
    uint32_t wakeThreshold;
    ImmAssociateContextFn imeAssociateContext;
    HIMC savedImeContext;
    HMODULE passwordLibrary;
    VerifyScreenSavePwdFn verifyPassword;
    uint32_t checkingPassword;
    uint32_t lastPasswordCheck;
    HWND coverWindows[kMaxCoverWindows];   // windows on the other monitors
    uint32_t coverCount;
    ScreenRect coverRects[kMaxCoverWindows];   // their monitors, screen coordinates
    uint32_t mirroring;                        // 1: they show the show, 0: black
    MemorySurface frameSurface;                // the frame all monitors show while mirroring
    COLORREF marginColour;                     // of the mirrors' margins as last painted
    uint32_t marginsPainted;

    // Settings.
    SettingsFields settings;

    // Show cycle.
    RECT clientRect;
    uint16_t ShowTimer;
    HBRUSH blackBrush;
    HBRUSH BackgroundBrush;
    uint32_t openingState;
    uint32_t itemBusy;
    uint32_t nextAsked;       // the item after this one was looked at for decoding ahead
    wchar_t currentPath[kItemPathChars];   // UTF-16 from the folder to every open
    uint32_t currentKind;
    uint32_t portsFree;
    uint32_t portsChosen;
    char titleText[kStartupTextSize];
    char creditText[kStartupTextSize];

    // Content catalogue.
    Catalogue catalogue;
    wchar_t catalogueFolder[kItemPathChars];   // the words folder in full, as the build found it
    uint16_t kindCounts[6];
    uint32_t catalogueCursor;

    // Words file text of the current item: Shift-JIS bytes, or UTF-16
    // units when textUtf16 is 1 (a Unicode words file; textLength then
    // counts units). Plug-in texts are Shift-JIS whatever it says.
    HGLOBAL textBuffer;
    uint32_t textLength;
    uint16_t textUtf16;

    // Pictures shared by text, bitmap and opening.
    MemorySurface SourceSurface;
    HDC ScreenSurface;
    MemorySurface spareSurface;   // the last item's picture, kept for the next

    // Text rendering.
    uint32_t textTicks;
    HFONT mainFont;
    HFONT subFont;
    char faceName[kFontSlotSize];

    // Bitmap display.
    uint32_t bitmapTicks;
    HGLOBAL dibBlock;
    HPALETTE dibPalette;
    HGLOBAL dibIndexTable;
    void* dibIndexTableLocked;
    UINT dibColorUse;
    uint16_t dibX, dibY, dibW, dibH;
    uint32_t photoCom;        // 1: COM set up by the photos, 2: by someone else
    uint32_t photoWaiting;    // 1: the item's first tick waits for the worker, since photoWaitStart
    uint32_t photoWaitStart;

    // Opening.
    uint32_t openingTicks;
    uint32_t frameTicks;
    uint32_t titleTicks;
    HBITMAP frameBitmaps[kOpeningFrames];
    HFONT titleFont;
    HFONT creditFont;
    uint16_t titleShown;
    uint16_t creditShown;
    HFONT savedFont;

    // Error messages.
    char errorText[kErrorTextSize];

    // System information list.
    HWND sysInfoWindow;
    uint32_t sysInfoTicks;

    // Transition engine.
    TransitionState transition;
    MemorySurface darkSurface;
    HBRUSH darkBrush;

    // Media.
    MediaState media;

    // TextGenDLL plug-in of the current item, and the hosts of earlier
    // items still letting go of theirs.
    PluginHostLink pluginHost;
    RetiredHost retiredHosts[kRetiredHostSlots];
    HGLOBAL procNames;        // names block, copied from the host's answer
    uint32_t procNamesHeld;   // its bytes as they came from the host
    uint16_t procNamesSize;   // as the plug-in reported it
    uint16_t procOffset;      // entry of the current text procedure
    uint32_t callNextProc;
    uint32_t pluginTicks;     // 0: no host started yet
};

extern SaverState g;

// Releases that test for absence and leave the field absent, so every path
// can call them whatever it still holds.
void FreeGlobalBlock(HGLOBAL* block);              // unlocks every lock first
void ReleaseMemorySurface(MemorySurface* surface); // puts back what it held, then deletes

// The item's picture: SourceSurface becomes a width x height picture
// compatible with screen, the spare one when it fits, else a new one (dc or
// bitmap absent when that fails). Parking keeps SourceSurface's own bitmap
// as the spare (the next item of the same size draws into it instead of
// allocating a screenful anew) and leaves SourceSurface absent.
void TakeSourceSurface(HDC screen, int width, int height);
void ParkSourceSurface();
template <typename Handle>
inline void DeleteGdiObject(Handle*& object)
{
    if (object) DeleteObject(object);
    object = nullptr;
}

// Puts every field back to its start value (tests run many saver windows in
// one process; the saver itself starts from a zeroed record).
void ResetSaverState();

// The title and credit lines of the string table into titleText and
// creditText (the opening and the version box show them).
void LoadStartupStrings();
