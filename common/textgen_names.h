// The names block of a TextGenDLL: 20-byte entries, each the export name of
// one text procedure with its terminating NUL. The saver and KELMGDBG both
// read it through this one walk, so that a plug-in the viewer accepts is one
// the saver shows. The block comes from the plug-in, so nothing in it is
// trusted: neither the size it reports nor the terminators of its names.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kProcNameEntrySize = 20,
    kProcNameMax = 19,   // bytes of a name without its NUL
    // A 16-bit size announces at most this many entries (the last partial).
    kMaxProcNameEntries = 65535 / kProcNameEntrySize + 1,
};

enum ProcNameVerdict {
    kProcNameUsable,        // a name the saver looks up
    kProcNameEmpty,         // the entry starts with its NUL
    kProcNameUnterminated,  // no NUL within the entry's 20 bytes and the block
    kProcNameNone,          // no entry begins at that offset
};

struct ProcNameEntry {
    uint32_t offset;
    ProcNameVerdict verdict;
    // The entry's bytes up to its NUL (all 20 of an unterminated one, or
    // what the block holds of them), always terminated here.
    char text[kProcNameEntrySize + 1];
};

// The bytes of the block that may be walked: the size the plug-in reported,
// but never more than the block really holds.
uint32_t UsableNamesSize(uint16_t reported, size_t blockSize);

// The number of entries in a walk over size bytes; a last partial entry
// counts as one.
uint32_t ProcNameCount(uint32_t size);

// Reads the entry at offset. size is the usable size, blockSize what the
// block holds: a partial last entry may still hold its whole name in the
// bytes the block has beyond the reported size.
ProcNameVerdict ReadProcName(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                             ProcNameEntry* entry);

// The name of the entry at offset, as the saver looks it up: false, with
// name empty, for every entry that is not usable.
bool ProcNameAt(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                char name[kProcNameEntrySize]);

// Every entry below the usable size, in block order, each with its verdict.
struct ProcNameWalk {
    uint32_t count;
    ProcNameEntry entries[kMaxProcNameEntries];
};
void WalkProcNames(const char* block, size_t blockSize, uint16_t reported, ProcNameWalk* walk);

// The entry at which the saver stops with its "no such procedure" message
// when every usable name is exported, or -1 when it shows them all. A
// block without entries stops at once, at entry 0.
int32_t FirstRefusedEntry(const ProcNameWalk* walk);
