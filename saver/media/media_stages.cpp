#include "saver/media/media_stages.h"

#include <cstring>

namespace {
// A size the platform reports beyond any screen is taken as that bound, so
// the window arithmetic cannot overflow on a damaged file.
const int32_t kLargestVideoSide = 32767;

int32_t Bounded(int32_t side)
{
    if (side < 0) return 0;
    return side > kLargestVideoSide ? kLargestVideoSide : side;
}

// An open attempt: 0 when the device is open, 1 to try again later, 2 when
// the item is given up.
enum { Opened, TryLater, GiveUp };

// Only the first attempt tells "not installed" apart: no video device
// will appear between its retries, so it is reported and not retried. At
// a retry it is one more failed attempt, and the last retry ends the item
// without a word like any other.
int TryOpen(uint32_t* device, bool first, const MediaCalls* calls)
{
    uint32_t error = calls->openVideo(calls->context, device);
    if (error == 0) return Opened;
    if (first && error == kMciDeviceNotInstalled) {
        calls->report(calls->context, kVideoOpenMessage);
        return GiveUp;
    }
    return TryLater;
}

// Stage 30: size, corner, window, hand-over and play, all in the tick of the
// successful open. Whatever fails, nothing of the video is left behind.
void StartVideo(MediaState* m, int used, uint32_t device, int32_t W, int32_t H, const MediaCalls* calls)
{
    int32_t w = 0, h = 0;
    if (calls->videoSize(calls->context, device, &w, &h) != 0) {
        calls->report(calls->context, kVideoWindowMessage);
        calls->close(calls->context, device);
        return;
    }
    w = Bounded(w);
    h = Bounded(h);
    uint16_t corner = calls->randomIndex(calls->context, 4);
    if (corner >= 4 || IsCornerUsed(m, used, corner)) corner = PickFreeCorner(m, used);
    CornerPlace at = CornerPosition(corner, W, H, w, h);
    void* window = calls->createVideoWindow(calls->context, at.x, at.y, w, h);
    int failure = 0;
    if (!window) failure = kVideoWindowMessage;
    else if (calls->showVideoIn(calls->context, device, window) != 0) failure = kVideoWindowMessage;
    else if (calls->play(calls->context, device) != 0) failure = kVideoPlayMessage;
    if (failure != 0) {
        calls->report(calls->context, failure);
        // The device goes first so that it never draws into a window that
        // is already gone.
        calls->close(calls->context, device);
        if (window) calls->destroyWindow(calls->context, window);
        return;
    }
    OccupySlot(m, used, device, corner, window);
}
}

int UsableSlots(uint32_t aviPlay)
{
    int32_t wanted = static_cast<int32_t>(aviPlay);
    if (wanted < 1) return 0;
    return wanted > kAviSlotCount ? kAviSlotCount : wanted;
}

int FindFreeSlot(const MediaState* m, int used)
{
    for (int i = 0; i < used && i < kAviSlotCount; ++i)
        if (m->aviSlots[i].inUse == 0) return i;
    return kNoSlot;
}

int FindSlotByDevice(const MediaState* m, int used, uint32_t deviceId)
{
    for (int i = 0; i < used && i < kAviSlotCount; ++i)
        if (m->aviSlots[i].inUse == 1 && m->aviSlots[i].deviceId == deviceId) return i;
    return kNoSlot;
}

bool IsCornerUsed(const MediaState* m, int used, uint16_t corner)
{
    for (int i = 0; i < used && i < kAviSlotCount; ++i)
        if (m->aviSlots[i].inUse == 1 && m->aviSlots[i].corner == corner) return true;
    return false;
}

uint16_t PickFreeCorner(const MediaState* m, int used)
{
    for (uint16_t corner = 0; corner < 4; ++corner)
        if (!IsCornerUsed(m, used, corner)) return corner;
    return 0;
}

void OccupySlot(MediaState* m, int used, uint32_t deviceId, uint16_t corner, void* window)
{
    int i = FindFreeSlot(m, used);
    if (i == kNoSlot) return;
    AviSlot& slot = m->aviSlots[i];
    slot.inUse = 1;
    slot.deviceId = deviceId;
    slot.corner = corner;
    slot.videoWindow = window;
}

CornerPlace CornerPosition(uint16_t corner, int32_t W, int32_t H, int32_t w, int32_t h)
{
    int32_t right = W - Bounded(w) + 1;
    int32_t bottom = H - Bounded(h) + 1;
    if (right < 1) right = 1;
    if (bottom < 1) bottom = 1;
    CornerPlace at;
    at.x = static_cast<uint16_t>((corner & 1) ? right : 1);
    at.y = static_cast<uint16_t>((corner & 2) ? bottom : 1);
    return at;
}

void ResetMedia(MediaState* m)
{
    std::memset(m, 0, sizeof *m);
}

uint32_t SongTick(MediaState* m, uint32_t portsFree, const MediaCalls* calls)
{
    if (m->midiDevice != 0 || portsFree == 0) return 0;
    uint32_t device = 0;
    if (calls->openSong(calls->context, &device) != 0) {
        calls->report(calls->context, kSongOpenMessage);
        return 0;
    }
    // A song that opens but will not play keeps its device until the saver
    // ends: later songs are passed over quietly instead of failing again on
    // every turn.
    m->midiDevice = device;
    if (calls->play(calls->context, device) != 0) calls->report(calls->context, kSongPlayMessage);
    return 0;
}

uint32_t VideoTick(MediaState* m, uint32_t aviPlay, uint32_t portsFree, int32_t W, int32_t H,
                   const MediaCalls* calls)
{
    int used = UsableSlots(aviPlay);
    uint32_t& stage = m->aviOpenStage;
    uint32_t device = 0;
    int outcome = TryLater;
    if (stage == 0) {
        if (FindFreeSlot(m, used) == kNoSlot || portsFree == 0) return 0;
        outcome = TryOpen(&device, true, calls);
    } else if (stage == 10 || stage == 20) {
        outcome = TryOpen(&device, false, calls);
        if (outcome == TryLater && stage == 20) outcome = GiveUp;
    } else if (stage >= kAviStageOpened) {
        // Only reached with a stage no tick of ours leaves behind.
        outcome = GiveUp;
    }
    if (outcome == GiveUp) {
        stage = 0;
        return 0;
    }
    if (outcome == TryLater) {
        ++stage;
        return 1;
    }
    stage = 0;
    StartVideo(m, used, device, W, H, calls);
    return 0;
}

void MediaFinished(MediaState* m, uint32_t deviceId, const MediaCalls* calls)
{
    if (m->midiDevice != 0 && deviceId == m->midiDevice) {
        calls->close(calls->context, deviceId);
        m->midiDevice = 0;
    }
    int i = FindSlotByDevice(m, kAviSlotCount, deviceId);
    if (i == kNoSlot) return;
    AviSlot& slot = m->aviSlots[i];
    calls->close(calls->context, slot.deviceId);
    if (slot.videoWindow) calls->destroyWindow(calls->context, slot.videoWindow);
    std::memset(&slot, 0, sizeof slot);
}

void StopMedia(MediaState* m, const MediaCalls* calls)
{
    if (m->midiDevice != 0) {
        calls->stop(calls->context, m->midiDevice);
        calls->close(calls->context, m->midiDevice);
        m->midiDevice = 0;
    }
    for (AviSlot& slot : m->aviSlots) {
        if (slot.inUse == 0) continue;
        calls->stop(calls->context, slot.deviceId);
        calls->close(calls->context, slot.deviceId);
        if (slot.videoWindow) calls->destroyWindow(calls->context, slot.videoWindow);
        std::memset(&slot, 0, sizeof slot);
    }
    m->aviOpenStage = 0;
}
