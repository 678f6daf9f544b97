// Songs, sounds and corner videos through the platform's media control
// interface. Every parameter block names the saver window as its callback
// window, so completions come back to it as MM_MCINOTIFY.
#include "saver/saver_state.h"
#include "saver/media/media_win.h"

#include "common/text932_win.h"
#include "saver/common/errors_win.h"
#include "saver/common/random.h"

#include <digitalv.h>
#include <mmsystem.h>

namespace {
const DWORD kSongOpenFlags = 0x2602;    // wait, element, alias, type
const DWORD kVideoOpenFlags = 0x2202;   // wait, element, type
const DWORD kWhereFlags = 0x40002;      // wait, destination rectangle
const DWORD kWindowFlags = 0x110002;    // wait, window handle given, stretch to it
const DWORD kVideoWindowStyle = 0x40000801;   // WS_CHILD | ES_READONLY | ES_CENTER

HWND CallbackWindow(void* context)
{
    return static_cast<HWND>(context);
}

DWORD_PTR Callback(void* context)
{
    return reinterpret_cast<DWORD_PTR>(CallbackWindow(context));
}

uint32_t OpenCurrentPath(void* context, const wchar_t* type, const wchar_t* alias, DWORD flags,
                         uint32_t* deviceId)
{
    MCI_OPEN_PARMSW open = {};
    open.dwCallback = Callback(context);
    open.lpstrDeviceType = type;
    open.lpstrElementName = g.currentPath;
    open.lpstrAlias = alias;
    MCIERROR error = mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
    if (error == 0) *deviceId = open.wDeviceID;
    return error;
}

uint32_t OpenSong(void* context, uint32_t* deviceId)
{
    return OpenCurrentPath(context, L"Sequencer", L"MIDI", kSongOpenFlags, deviceId);
}

uint32_t OpenVideo(void* context, uint32_t* deviceId)
{
    return OpenCurrentPath(context, L"AVIVideo", nullptr, kVideoOpenFlags, deviceId);
}

uint32_t VideoSize(void* context, uint32_t deviceId, int32_t* width, int32_t* height)
{
    MCI_DGV_RECT_PARMS where = {};
    where.dwCallback = Callback(context);
    MCIERROR error = mciSendCommandW(deviceId, MCI_WHERE, kWhereFlags, reinterpret_cast<DWORD_PTR>(&where));
    // The media interface gives width and height in the places of right
    // and bottom.
    *width = where.rc.right;
    *height = where.rc.bottom;
    return error;
}

WNDPROC editProcedure;

// Input over a video must end the saver like input anywhere else, so the
// video window lets the mouse through to the saver window beneath it.
LRESULT CALLBACK VideoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    return CallWindowProcW(editProcedure, window, message, wParam, lParam);
}

void* CreateVideoWindow(void* context, int x, int y, int width, int height)
{
    HWND window = CreateWindowExW(0, L"EDIT", g.currentPath, kVideoWindowStyle, x, y, width, height,
                                  CallbackWindow(context), nullptr, g.instance, nullptr);
    if (!window) return nullptr;
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VideoWindowProc)));
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

uint32_t ShowVideoIn(void* context, uint32_t deviceId, void* window)
{
    MCI_DGV_WINDOW_PARMSW parms = {};
    parms.dwCallback = Callback(context);
    parms.hWnd = static_cast<HWND>(window);
    return mciSendCommandW(deviceId, MCI_WINDOW, kWindowFlags, reinterpret_cast<DWORD_PTR>(&parms));
}

uint32_t Play(void* context, uint32_t deviceId)
{
    MCI_PLAY_PARMS play = {};
    play.dwCallback = Callback(context);
    return mciSendCommandW(deviceId, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
}

void Waited(void* context, uint32_t deviceId, UINT command)
{
    MCI_GENERIC_PARMS parms = {};
    parms.dwCallback = Callback(context);
    mciSendCommandW(deviceId, command, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parms));
}

void Stop(void* context, uint32_t deviceId)
{
    Waited(context, deviceId, MCI_STOP);
}

void Close(void* context, uint32_t deviceId)
{
    Waited(context, deviceId, MCI_CLOSE);
}

void DestroyVideoWindow(void*, void* window)
{
    DestroyWindow(static_cast<HWND>(window));
}

void Report(void* context, int code)
{
    ReportError(CallbackWindow(context), code, DrawOnWindow);
}

uint16_t PickRandom(void*, uint16_t count)
{
    return RandomIndex(count);
}

MediaCalls PlatformCalls(HWND window)
{
    MediaCalls calls = {};
    calls.context = window;
    calls.openSong = OpenSong;
    calls.openVideo = OpenVideo;
    calls.videoSize = VideoSize;
    calls.createVideoWindow = CreateVideoWindow;
    calls.showVideoIn = ShowVideoIn;
    calls.play = Play;
    calls.stop = Stop;
    calls.close = Close;
    calls.destroyWindow = DestroyVideoWindow;
    calls.report = Report;
    calls.randomIndex = PickRandom;
    return calls;
}
}

void InitAviSlots()
{
    ResetMedia(&g.media);
}

void OnMediaNotify(UINT deviceId)
{
    MediaCalls calls = PlatformCalls(g.saverWindow);
    MediaFinished(&g.media, deviceId, &calls);
}

void StopAllMedia()
{
    MediaCalls calls = PlatformCalls(g.saverWindow);
    StopMedia(&g.media, &calls);
    // A closed saver falls silent at once, also for a sound still ringing.
    sndPlaySoundW(nullptr, 0);
}

void PlayMidiItem(HWND window)
{
    MediaCalls calls = PlatformCalls(window);
    g.itemBusy = SongTick(&g.media, g.portsFree, &calls);
}

void PlayWaveItem(HWND)
{
    sndPlaySoundW(g.currentPath, SND_ASYNC | SND_NODEFAULT);
    g.itemBusy = 0;
}

void PlayAviItem(HWND window)
{
    MediaCalls calls = PlatformCalls(window);
    g.itemBusy = VideoTick(&g.media, g.settings.AVIPlay, g.portsFree, g.clientRect.right, g.clientRect.bottom,
                           &calls);
}
