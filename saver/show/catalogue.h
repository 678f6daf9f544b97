// The bookkeeping of the catalogue of the words folder: which name an entry
// takes, the order of the entries, the path of an item and the walk through
// them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "saver/common/content_kind.h"

enum {
    kEntryNameSize = 13,       // 8.3 name and its terminator
    kItemPathSize = 100,       // full path of an item, terminator included
};

// True when the name has the 8.3 shape, counted in bytes: 1 to 8 bytes of
// base name without a dot, then optionally a dot and 1 to 3 more bytes.
bool IsShortName83(const char* name);

// Decides the entry of one found name. The kind comes from the found (long)
// name. A name of at most 12 bytes is taken as it is; a longer name is
// replaced by its short alias when the alias is in 8.3 form and has the
// same kind;
// a name that cannot be written in code page 932 is left out, and so is any
// name whose full path (folder, "\", name) would not fit an item path.
// Writes the 13-byte entry (zero padded) and gives the kind, or gives 0 and
// leaves entry empty when the name is left out.
uint16_t ChooseEntryName(const char* foundName, bool nameFits, const char* shortName,
                         size_t folderLength, char entry[kEntryNameSize]);

// Adds an entry of kind 1 to 6 to its counter. The counters are 16-bit and
// only reported; a folder with more files of one kind than they can count
// shows 65535 rather than a count that wrapped round to a small number.
void CountKind(uint16_t counts[6], uint16_t kind);

// Unsigned byte order up to the terminator: < 0, 0 or > 0.
int CompareEntryNames(const char* a, const char* b);

// Sorts count entries of 13 bytes in place, ascending by CompareEntryNames;
// entries that compare equal keep their order.
void SortEntries(char* entries, uint32_t count);

// folder + "\" + name into out (kItemPathSize bytes, cleared first). False,
// with out left empty, when the whole path would not fit.
bool ComposeItemPath(char* out, const char* folder, const char* name);

// The index of the entry to present next; moves the cursor on, back to the
// first entry after the last. count must not be 0.
uint32_t TakeCatalogueIndex(uint32_t* cursor, uint32_t count);

// New capacity (in entries) for a block that must hold at least need
// entries: doubles, so that a folder of many files is taken in linear time.
uint32_t GrowCatalogueCapacity(uint32_t capacity, uint32_t need);
