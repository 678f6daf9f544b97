// The words folder as a list of 13-byte names in one movable block.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/catalogue.h"
#include "saver/show/catalogue_win.h"

#include <cstring>

static_assert(static_cast<int>(kEntryNameSize) == static_cast<int>(kCatalogueEntrySize), "one entry size");
static_assert(static_cast<int>(kItemPathSize) == static_cast<int>(kCurrentPathSize), "one item path size");

namespace {
const char kEmptyCatalogueSentinel[] = "EM998";

// The words folder as a terminated text, whatever the settings field holds.
size_t CopyFolder(char (&folder)[kFilePathSize])
{
    std::memcpy(folder, g.settings.FilePath, sizeof folder);
    folder[sizeof folder - 1] = '\0';
    return std::strlen(folder);
}

// Grows the block to room for need entries; false when it cannot.
bool Reserve(uint32_t need, uint32_t* capacity)
{
    if (need <= *capacity) return true;
    uint32_t grown = GrowCatalogueCapacity(*capacity, need);
    if (grown == 0) return false;
    HGLOBAL moved = GlobalReAlloc(g.catalogueBlock, static_cast<SIZE_T>(grown) * kEntryNameSize, GMEM_MOVEABLE);
    if (moved == nullptr) return false;
    g.catalogueBlock = moved;
    *capacity = grown;
    return true;
}
}

void BuildCatalogue(HWND)
{
    FreeCatalogue();
    std::memset(g.kindCounts, 0, sizeof g.kindCounts);
    g.catalogueCursor = 0;

    char folder[kFilePathSize];
    size_t folderLength = CopyFolder(folder);
    char pattern[kFilePathSize + 8];
    std::memcpy(pattern, folder, folderLength);
    std::memcpy(pattern + folderLength, "\\*.*", 5);

    uint32_t capacity = 1;
    g.catalogueBlock = GlobalAlloc(GMEM_MOVEABLE, kEntryNameSize);
    if (g.catalogueBlock == nullptr) return;

    FindData932 found;
    HANDLE search = FindFirst932(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        // A failure to grow stops the scan; what was taken so far stays,
        // counted, and is sorted below like a complete catalogue.
        do {
            char entry[kEntryNameSize];
            uint16_t kind = ChooseEntryName(found.name, found.nameFits, found.shortName, folderLength, entry);
            if (kind == KindNone) continue;
            if (!Reserve(g.fileCount + 1, &capacity)) break;
            char* entries = static_cast<char*>(GlobalLock(g.catalogueBlock));
            if (entries == nullptr) break;
            std::memcpy(entries + static_cast<size_t>(g.fileCount) * kEntryNameSize, entry, kEntryNameSize);
            GlobalUnlock(g.catalogueBlock);
            CountKind(g.kindCounts, kind);
            ++g.fileCount;
        } while (FindNext932(search, &found));
        FindClose(search);
    }

    if (g.fileCount == 0) {
        GlobalFree(g.catalogueBlock);
        g.catalogueBlock = nullptr;
        return;
    }
    char* entries = static_cast<char*>(GlobalLock(g.catalogueBlock));
    if (entries != nullptr) {
        SortEntries(entries, g.fileCount);
        GlobalUnlock(g.catalogueBlock);
    }
    // Give back the room the doubling left over.
    if (capacity > g.fileCount) {
        HGLOBAL shrunk = GlobalReAlloc(g.catalogueBlock, static_cast<SIZE_T>(g.fileCount) * kEntryNameSize,
                                       GMEM_MOVEABLE);
        if (shrunk != nullptr) g.catalogueBlock = shrunk;
    }
}

namespace {
// The path of the item at the cursor into path (kCurrentPathSize bytes),
// moving the cursor on.
void ItemPath(uint32_t* cursor, char* path)
{
    std::memset(path, 0, kCurrentPathSize);
    if (g.fileCount == 0 || g.catalogueBlock == nullptr) {
        std::memcpy(path, kEmptyCatalogueSentinel, sizeof kEmptyCatalogueSentinel);
        return;
    }
    uint32_t index = TakeCatalogueIndex(cursor, g.fileCount);
    const char* entries = static_cast<const char*>(GlobalLock(g.catalogueBlock));
    if (entries == nullptr) return;
    char name[kEntryNameSize];
    std::memcpy(name, entries + static_cast<size_t>(index) * kEntryNameSize, kEntryNameSize);
    name[kEntryNameSize - 1] = '\0';
    GlobalUnlock(g.catalogueBlock);
    // The build left out every name whose path would not fit; a folder
    // changed since then leaves the path empty, which has no kind.
    char folder[kFilePathSize];
    CopyFolder(folder);
    ComposeItemPath(path, folder, name);
}
}

void NextCatalogueItem(HWND) { ItemPath(&g.catalogueCursor, g.currentPath); }

void PeekCatalogueItem(char* path)
{
    uint32_t cursor = g.catalogueCursor;
    ItemPath(&cursor, path);
}

void FreeCatalogue()
{
    FreeGlobalBlock(&g.catalogueBlock);
    g.fileCount = 0;
}
