// Songs and corner videos as bookkeeping: which slots hold a playing video,
// which corner a new one takes, and the tick stages of opening a video.
// The platform's media calls sit behind MediaCalls so that every path can be
// driven with scripted results.
#pragma once
#include <cstdint>

enum {
    kAviSlotCount = 4,
    kNoSlot = -1,
    kAviStageOpened = 30,
    kMciDeviceNotInstalled = 306,   // the one first-open error worth telling the user at once
    kSongOpenMessage = 22,          // Em022
    kSongPlayMessage = 23,          // Em023
    kVideoOpenMessage = 27,         // Em027
    kVideoWindowMessage = 28,       // Em028
    kVideoPlayMessage = 29,         // Em029
};

struct AviSlot {
    uint32_t inUse;
    uint32_t deviceId;
    uint16_t corner;        // 0 top left, 1 top right, 2 bottom left, 3 bottom right
    void* videoWindow;
};

struct MediaState {
    AviSlot aviSlots[kAviSlotCount];
    uint32_t midiDevice;    // 0: no song open
    uint32_t aviOpenStage;  // 0 first tick, 1..29 waiting to retry, 30 opened
};

// Results are the platform's media error numbers, 0 for success.
struct MediaCalls {
    void* context;
    uint32_t (*openSong)(void* context, uint32_t* deviceId);
    uint32_t (*openVideo)(void* context, uint32_t* deviceId);
    uint32_t (*videoSize)(void* context, uint32_t deviceId, int32_t* width, int32_t* height);
    void* (*createVideoWindow)(void* context, int x, int y, int width, int height);  // 0: failed
    uint32_t (*showVideoIn)(void* context, uint32_t deviceId, void* window);
    uint32_t (*play)(void* context, uint32_t deviceId);
    void (*stop)(void* context, uint32_t deviceId);
    void (*close)(void* context, uint32_t deviceId);
    void (*destroyWindow)(void* context, void* window);
    void (*report)(void* context, int code);
    uint16_t (*randomIndex)(void* context, uint16_t count);
};

// How many slots a stored AVIPlay allows: never more than the table holds,
// none for 0 or a value that reads as negative.
int UsableSlots(uint32_t aviPlay);

int FindFreeSlot(const MediaState* m, int used);
int FindSlotByDevice(const MediaState* m, int used, uint32_t deviceId);
bool IsCornerUsed(const MediaState* m, int used, uint16_t corner);
uint16_t PickFreeCorner(const MediaState* m, int used);
void OccupySlot(MediaState* m, int used, uint32_t deviceId, uint16_t corner, void* window);

struct CornerPlace {
    uint16_t x, y;
};
// One pixel in from the corner of a W x H client area. A video wider or
// taller than the area keeps its top-left corner on the screen.
CornerPlace CornerPosition(uint16_t corner, int32_t W, int32_t H, int32_t w, int32_t h);

void ResetMedia(MediaState* m);

// One tick of each kind of item; each gives the item's new itemBusy.
uint32_t SongTick(MediaState* m, uint32_t portsFree, const MediaCalls* calls);
uint32_t VideoTick(MediaState* m, uint32_t aviPlay, uint32_t portsFree, int32_t W, int32_t H,
                   const MediaCalls* calls);

// A completion report from the platform: the song or video of that device
// is closed and its window removed.
void MediaFinished(MediaState* m, uint32_t deviceId, const MediaCalls* calls);
// Stops and closes the song, then every video in slot order.
void StopMedia(MediaState* m, const MediaCalls* calls);
