// TextGenDLL items: the plug-in is loaded for one catalogue item, every
// text procedure it names gives one saying in the order of its names
// block, and the plug-in is let go after the last one or at its first
// failure. Whatever it hands back is checked before it is used: a
// plug-in is someone else's code dropped into the words folder.
#include "common/text932_win.h"
#include "common/textgen_names.h"
#include "kit/textgen.h"
#include "saver/media/media_win.h"
#include "saver/saver_state.h"
#include "saver/common/errors_win.h"
#include "saver/sayings/sayings_win.h"

namespace {
enum {
    kCannotLoad = 40,
    kNoNamesProc = 41,
    kNoTextProc = 42,
    kNoText = 43,
};

// The failures end the item as the end of the list does, so the next
// visit starts again from loading; the show goes on with the next item.
void GiveUp(HWND window, int code)
{
    ReleasePlugin();
    g.itemBusy = 0;
    ReportError(window, code, DrawOnWindow);
}

SIZE_T NamesBlockSize() { return g.procNames ? GlobalSize(g.procNames) : 0; }

uint32_t UsableNames() { return UsableNamesSize(g.procNamesSize, NamesBlockSize()); }

bool LoadPlugin(HWND window)
{
    g.pluginModule = LoadPluginLibraryW(g.currentPath);
    if (!g.pluginModule) {
        GiveUp(window, kCannotLoad);
        return false;
    }
    TextgenNamesProc names =
        reinterpret_cast<TextgenNamesProc>(reinterpret_cast<void*>(GetProcAddress(g.pluginModule, "GetTextgenProcNames")));
    if (!names) {
        GiveUp(window, kNoNamesProc);
        return false;
    }
    HGLOBAL block = nullptr;
    g.procNamesSize = names(&block);
    g.procNames = block;
    g.callNextProc = 1;
    g.procOffset = 0;
    return true;
}

// The procedure named by the current entry, or null when the entry names
// none the plug-in exports.
TextgenTextProc CurrentProc()
{
    const SIZE_T blockSize = NamesBlockSize();
    const uint32_t size = UsableNamesSize(g.procNamesSize, blockSize);
    char name[kProcNameEntrySize] = {};
    bool named = false;
    if (g.procOffset < size) {
        const char* locked = static_cast<const char*>(GlobalLock(g.procNames));
        if (locked) {
            named = ProcNameAt(locked, blockSize, size, g.procOffset, name);
            GlobalUnlock(g.procNames);
        }
    }
    if (!named) return nullptr;
    return reinterpret_cast<TextgenTextProc>(reinterpret_cast<void*>(GetProcAddress(g.pluginModule, name)));
}

bool CallNextProc(HWND window)
{
    g.itemBusy = 1;
    TextgenTextProc proc = CurrentProc();
    if (!proc) {
        GiveUp(window, kNoTextProc);
        return false;
    }
    HGLOBAL text = nullptr;
    const uint16_t length = proc(&text);
    // A length without a block to hold it is no text either; a block that
    // came with a failure is still ours to free.
    if (length == 0 || !text || GlobalSize(text) == 0) {
        if (text && GlobalSize(text) != 0) FreeGlobalBlock(&text);
        GiveUp(window, kNoText);
        return false;
    }
    FreeGlobalBlock(&g.textBuffer);
    g.textBuffer = text;
    g.textLength = length;   // cut to the block when it is laid out
    return true;
}
}

void ShowPluginItem(HWND window)
{
    if (g.pluginTicks == 0) {
        ReleasePlugin();
        if (!LoadPlugin(window)) return;
    }
    if (g.callNextProc == 1 && !CallNextProc(window)) return;

    RenderTextItem(window, 1);
    if (g.itemBusy == 1) {
        g.callNextProc = 0;
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
        return;
    }
    ReleasePlugin();
    g.itemBusy = 0;
}

void ReleasePlugin()
{
    FreeGlobalBlock(&g.procNames);
    if (g.pluginModule) FreeLibrary(g.pluginModule);
    g.pluginModule = nullptr;
    g.procNamesSize = 0;
    g.procOffset = 0;
    g.callNextProc = 0;
    g.pluginTicks = 0;
}
