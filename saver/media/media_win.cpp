#include "saver/saver_state.h"
#include "saver/media/media_win.h"

// Songs, sounds, videos and plug-ins arrive later; until then their items
// pass in one tick so the show goes on.
void InitAviSlots() {}
void OnMediaNotify(UINT) {}
void StopAllMedia() {}
void PlayMidiItem(HWND) { g.itemBusy = 0; }
void PlayWaveItem(HWND) { g.itemBusy = 0; }
void PlayAviItem(HWND) { g.itemBusy = 0; }
