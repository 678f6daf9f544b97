// TextGenDLL items: the plug-in is opened for one catalogue item, every
// text procedure it names gives one saying in the order of its names
// block, and the plug-in is let go after the last one or at its first
// failure. It runs in a host process of its own: each tick only looks
// whether the answer asked for has come, so a slow plug-in never holds
// the show, and one that faults or hangs costs only its item. Whatever
// it hands back is checked before it is used: a plug-in is someone
// else's code dropped into the words folder.
#include "common/text932_win.h"
#include "common/textgen_names.h"
#include "saver/common/errors_win.h"
#include "saver/common/plugin_host_win.h"
#include "saver/media/media_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"

#include <cstring>

namespace {
enum {
    kNoMemory = 1,
    kNoTextProc = 42,
    kNoText = 43,
};

// The failures end the item as the end of the list does, so the next
// visit starts again from a new host; the show goes on with the next item.
void GiveUp(HWND window, int code)
{
    ReleasePlugin();
    g.itemBusy = 0;
    ReportError(window, code, DrawOnWindow);
}

// A host that died, broke the framing or let its time run out is not
// asked to let go: it is ended, and watched until it has.
void HostLost(HWND window)
{
    ReleasePluginHost(&g.pluginHost, g.retiredHosts, kRetiredHostSlots, true);
    GiveUp(window, kPluginNoAnswer);
}

// The bytes that came over the pipe, not the size of the saver's copy,
// which the platform may round up.
SIZE_T NamesBlockSize() { return g.procNames ? g.procNamesHeld : 0; }

uint32_t UsableNames() { return UsableNamesSize(g.procNamesSize, NamesBlockSize()); }

bool StartHost(HWND window)
{
    const int code = StartPluginHost(&g.pluginHost, g.currentPath, true, PluginAnswerLimit());
    if (code != 0) {
        GiveUp(window, code);
        return false;
    }
    g.pluginTicks = 1;
    return true;
}

// A copy of what came over the pipe, followed by a zero byte as a words
// file's text is, so that nothing reading it as a string runs on.
HGLOBAL BlockOf(const uint8_t* bytes, uint32_t count)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count + 1);
    uint8_t* locked = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (!locked) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(locked, bytes, count);
    locked[count] = 0;
    GlobalUnlock(block);
    return block;
}

// The answer that has just come in. False when it ended the item.
bool TakeAnswer(HWND window)
{
    PluginHostLink* link = &g.pluginHost;
    WireAnswer answer;
    if (!WireReadAnswer(link->kind, link->body, link->bodyLength, &answer)) {
        HostLost(window);
        return false;
    }
    int code = static_cast<int>(answer.status);
    if (code == 0 && link->kind == kWireOpened) {
        // The names block as the plug-in gave it (or none): judged by the
        // same walk as when the saver held the block itself.
        g.procNamesSize = answer.figure;
        g.procNames = answer.byteCount ? BlockOf(answer.bytes, answer.byteCount) : nullptr;
        g.procNamesHeld = g.procNames ? answer.byteCount : 0;
        if (answer.byteCount && !g.procNames) code = kNoMemory;
        g.callNextProc = 1;
        g.procOffset = 0;
    } else if (code == 0) {
        HGLOBAL text = answer.byteCount ? BlockOf(answer.bytes, answer.byteCount) : nullptr;
        if (!text) code = answer.byteCount ? kNoMemory : kNoText;
        FreeGlobalBlock(&g.textBuffer);
        g.textBuffer = text;
        // What came over the pipe: the host sends no more than the
        // length the plug-in gave, and the wire refuses more.
        g.textLength = text ? answer.byteCount : 0;
    }
    DropPluginAnswer(link);
    if (code != 0) {
        GiveUp(window, code);
        return false;
    }
    return true;
}

// The name of the current entry, or false when the entry names none.
bool CurrentProcName(char name[kProcNameEntrySize])
{
    const SIZE_T blockSize = NamesBlockSize();
    const uint32_t size = UsableNamesSize(g.procNamesSize, blockSize);
    bool named = false;
    if (g.procOffset < size) {
        const char* locked = static_cast<const char*>(GlobalLock(g.procNames));
        if (locked) {
            named = ProcNameAt(locked, blockSize, size, g.procOffset, name);
            GlobalUnlock(g.procNames);
        }
    }
    return named;
}

void RequestNextProc(HWND window)
{
    char name[kProcNameEntrySize] = {};
    if (!CurrentProcName(name)) {
        GiveUp(window, kNoTextProc);
        return;
    }
    if (!SendPluginRequest(&g.pluginHost, kWireCall, name, static_cast<uint32_t>(std::strlen(name)),
                           PluginAnswerLimit())) {
        HostLost(window);
        return;
    }
    g.callNextProc = 0;
}
}

void ShowPluginItem(HWND window)
{
    g.itemBusy = 1;
    if (g.pluginTicks == 0) {
        ReleasePlugin();
        // The last visit's host may still be letting go of the library:
        // the next loads it only once that one has ended (or been ended
        // when its time ran out), as one process once unloaded it first.
        TendPluginHosts();
        if (!RetiredHostsEnding(g.retiredHosts, kRetiredHostSlots)) StartHost(window);
        return;
    }
    if (g.pluginHost.awaiting) {
        switch (PollPluginHost(&g.pluginHost)) {
        case HostWaiting:
            return;
        case HostFailed:
            HostLost(window);
            return;
        case HostAnswered:
            if (!TakeAnswer(window)) return;
            break;
        }
    }
    if (g.callNextProc == 1) {
        RequestNextProc(window);
        return;
    }

    RenderTextItem(window, 1);
    if (g.itemBusy == 1) {
        ++g.pluginTicks;
        return;
    }

    // The text has finished. Counted wide, so that an offset near the
    // 16-bit limit cannot wrap round to the first entries again.
    const uint32_t next = static_cast<uint32_t>(g.procOffset) + kProcNameEntrySize;
    g.itemBusy = 1;
    g.callNextProc = 1;
    if (next < UsableNames()) {
        g.procOffset = static_cast<uint16_t>(next);
        ++g.pluginTicks;
        RequestNextProc(window);
        return;
    }
    ReleasePlugin();
    g.itemBusy = 0;
}

void ReleasePlugin()
{
    FreeGlobalBlock(&g.procNames);
    g.procNamesHeld = 0;
    ReleasePluginHost(&g.pluginHost, g.retiredHosts, kRetiredHostSlots);
    g.procNamesSize = 0;
    g.procOffset = 0;
    g.callNextProc = 0;
    g.pluginTicks = 0;
}

void TendPluginHosts() { TendRetiredHosts(g.retiredHosts, kRetiredHostSlots, false); }

void EndPluginHosts()
{
    ReleasePlugin();
    TendRetiredHosts(g.retiredHosts, kRetiredHostSlots, true);
}
