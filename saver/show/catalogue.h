// The bookkeeping of the catalogue of the words folder: which found names
// it takes, the order of the entries, the path of an item and the walk
// through them. Names are UTF-16, kept whole as the file system gives them
// (long or short, with or without a Shift-JIS form), so a volume that makes
// no 8.3 aliases loses no file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "saver/common/content_kind.h"

enum {
    kFolderChars = 259,        // the longest words folder, in UTF-16 units
    kNameChars = 255,          // the longest file name a volume gives
    // "\\?\UNC\" + folder + "\" + name + terminator, rounded up.
    kItemPathChars = 540,
    kShortPathChars = 260,     // longer paths need the "\\?\" form to open
};

// One entry: where its name and its sort key lie in the pools.
struct CatalogueEntry {
    uint32_t name;             // offset in names (UTF-16 units)
    uint32_t key;              // offset in keys (bytes)
    uint16_t nameLength;
    uint16_t keyLength;
};

// Every name once, each with its terminator, in one pool; the sort keys in
// another that is freed once the entries are in order. The memory is that
// of the names, a little more for the keys while building.
struct Catalogue {
    CatalogueEntry* entries;
    uint32_t count;
    uint32_t capacity;
    char16_t* names;
    size_t namesUsed;
    size_t namesCapacity;
    unsigned char* keys;
    size_t keysUsed;
    size_t keysCapacity;
};

// The kind of a found name, or 0 when the catalogue leaves it out: no kind,
// empty, longer than a volume gives, or a path that could not be composed.
uint16_t ChooseCatalogueName(const char16_t* name, size_t length, size_t folderLength);

// The sort key of a name: its Shift-JIS bytes where the whole name has a
// Shift-JIS form, so such folders keep the byte order they always had.
// ForeignNameKey gives the key of any other name: 0xFF (which no Shift-JIS
// byte is), then every code point as three bytes, a pair of surrogates as
// one and an unpaired one alone. Such a name therefore sorts after every
// name that has a Shift-JIS form, and among its like by code points.
// Writes 1 + 3 x length bytes at most; gives how many it wrote.
size_t ForeignNameKey(const char16_t* name, size_t length, unsigned char* key);

// Adds a name and its key; false (and nothing added) when memory runs out
// or the catalogue is full.
bool AddCatalogueName(Catalogue* c, const char16_t* name, size_t length, const unsigned char* key,
                      size_t keyLength);

// Sorts by the keys, byte by byte, a shorter key before its longer
// continuation; equal keys keep the order they were added in. Frees the
// keys and gives back the room that growing left over.
void SortCatalogue(Catalogue* c);

// The terminated name of entry index, or null.
const char16_t* CatalogueName(const Catalogue* c, uint32_t index);

void FreeCatalogueData(Catalogue* c);

// Adds an entry of kind 1 to 6 to its counter. The counters are 16-bit and
// only reported; a folder with more files of one kind than they can count
// shows 65535 rather than a count that wrapped round to a small number.
void CountKind(uint16_t counts[6], uint16_t kind);

// folder + "\" + name into out (outChars units, cleared first); no second
// separator after a folder that ends in one. A path of kShortPathChars
// units or more is written in its "\\?\" form ("\\?\UNC\" for a share),
// which the platform opens whatever its length; folder must then be a full
// path. False, with out left empty, when the whole path would not fit.
bool ComposeItemPath(char16_t* out, size_t outChars, const char16_t* folder, const char16_t* name);

// A bare drive ("C:") names its root, as the folder joined with "\*.*"
// always did; the platform alone would take it for the drive's current
// folder. The separator is added in place where chars leaves room.
void RootBareDrive(char16_t* folder, size_t chars);

// The index of the entry to present next; moves the cursor on, back to the
// first entry after the last. count must not be 0.
uint32_t TakeCatalogueIndex(uint32_t* cursor, uint32_t count);

// New capacity (in entries) for a block that must hold at least need
// entries: doubles, so that a folder of many files is taken in linear time.
uint32_t GrowCatalogueCapacity(uint32_t capacity, uint32_t need);
