// The names block of a TextGenDLL: 20-byte entries, each the export name
// of one text procedure with its terminating NUL. The block comes from the
// plug-in, so nothing in it is trusted: neither the size it reports nor
// the terminators of its names.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kProcNameEntrySize = 20,
    kProcNameMax = 19,   // bytes of a name without its NUL
};

// The bytes of the block that may be walked: the size the plug-in reported,
// but never more than the block really holds.
uint32_t UsableNamesSize(uint16_t reported, size_t blockSize);

// The number of entries in a walk over size bytes; a last partial entry
// counts as one.
uint32_t ProcNameCount(uint32_t size);

// Copies the name of the entry at offset into name. False when no entry
// begins at offset (offset not below size) or when the entry holds no
// usable name: empty, or without its NUL within the entry's 20 bytes and
// the block's blockSize bytes. name is then empty.
//   size: the usable size (UsableNamesSize); blockSize: what the block holds.
// A partial last entry may still hold a whole name in the bytes the block
// has beyond the reported size.
bool ProcNameAt(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                char name[kProcNameEntrySize]);
