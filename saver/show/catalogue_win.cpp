// The words folder as a catalogue of its files' real names, found through
// the wide file functions so that no name is changed or lost on the way.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/catalogue.h"
#include "saver/show/catalogue_win.h"

#include <cstring>

namespace {
const wchar_t kEmptyCatalogueSentinel[] = L"EM998";

// The folder made full, so that an item path that needs the long form can
// be given it; a folder the platform cannot make full is kept as typed.
void TakeFolder()
{
    wchar_t typed[kFilePathChars];
    std::memcpy(typed, g.settings.FilePath, sizeof typed);
    typed[kFilePathChars - 1] = L'\0';
    RootBareDrive(AsUtf16(typed), kFilePathChars);
    wchar_t* folder = g.catalogueFolder;
    DWORD got = typed[0] ? GetFullPathNameW(typed, kItemPathChars, folder, nullptr) : 0;
    if (got == 0 || got >= static_cast<DWORD>(kFolderChars + 1)) lstrcpynW(folder, typed, kFilePathChars);
}

// The Shift-JIS bytes of the whole name where it has that form; otherwise
// the key that puts it after every such name. Gives the key length.
size_t SortKey(const wchar_t* name, size_t length, unsigned char* key, size_t keySize)
{
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, name, static_cast<int>(length),
                                reinterpret_cast<char*>(key), static_cast<int>(keySize), nullptr, &lossy);
    if (n > 0 && !lossy) return static_cast<size_t>(n);
    return ForeignNameKey(AsUtf16(name), length, key);
}
}

void BuildCatalogue(HWND)
{
    FreeCatalogue();
    std::memset(g.kindCounts, 0, sizeof g.kindCounts);
    g.catalogueCursor = 0;
    TakeFolder();
    if (g.catalogueFolder[0] == L'\0') return;

    wchar_t pattern[kItemPathChars];
    size_t folderLength = static_cast<size_t>(lstrlenW(g.catalogueFolder));
    if (!ComposeItemPath(AsUtf16(pattern), kItemPathChars, AsUtf16(g.catalogueFolder), u"*")) return;

    WIN32_FIND_DATAW found;
    // Searching a folder on a missing drive or card must not raise a box.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HANDLE search = FindFirstFileW(pattern, &found);
    SetErrorMode(oldMode);
    if (search != INVALID_HANDLE_VALUE) {
        // A failure to grow stops the scan; what was taken so far stays,
        // counted, and is sorted below like a complete catalogue.
        do {
            size_t length = static_cast<size_t>(lstrlenW(found.cFileName));
            uint16_t kind = ChooseCatalogueName(AsUtf16(found.cFileName), length, folderLength);
            // Refused plug-ins are files of no kind the show knows: no host
            // is ever started for them, and the list does not count them.
            if (kind == KindNone || (kind == KindTextGen && g.settings.TextGenRefused != 0)) continue;
            unsigned char key[kNameChars * 4];
            size_t keyLength = SortKey(found.cFileName, length, key, sizeof key);
            if (!AddCatalogueName(&g.catalogue, AsUtf16(found.cFileName), length, key, keyLength)) break;
            CountKind(g.kindCounts, kind);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SortCatalogue(&g.catalogue);
}

namespace {
// The path of the item at the cursor into path (kItemPathChars units),
// moving the cursor on.
void ItemPath(uint32_t* cursor, wchar_t* path)
{
    std::memset(path, 0, kItemPathChars * sizeof(wchar_t));
    if (g.catalogue.count == 0) {
        std::memcpy(path, kEmptyCatalogueSentinel, sizeof kEmptyCatalogueSentinel);
        return;
    }
    uint32_t index = TakeCatalogueIndex(cursor, g.catalogue.count);
    ComposeItemPath(AsUtf16(path), kItemPathChars, AsUtf16(g.catalogueFolder), CatalogueName(&g.catalogue, index));
}
}

void NextCatalogueItem(HWND) { ItemPath(&g.catalogueCursor, g.currentPath); }

void PeekCatalogueItem(wchar_t* path)
{
    uint32_t cursor = g.catalogueCursor;
    ItemPath(&cursor, path);
}

void FreeCatalogue() { FreeCatalogueData(&g.catalogue); }
