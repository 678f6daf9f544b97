// Reading what a plug-in hands back. A plug-in is someone else's code: the
// sizes it reports are only claims, so every read here stays inside the
// block that was really allocated.
#pragma once
#include <cstddef>

const int kNameEntryBytes = 20;
// A 16-bit size can announce at most this many entries (the last partial).
const int kMaxProcNames = 65535 / kNameEntryBytes + 1;

struct ProcNameList {
    int count;
    char names[kMaxProcNames][kNameEntryBytes];
};

// Walks a names block. block may be null (then blockBytes is taken as 0);
// blockBytes is the size the memory really has, reported the size the
// plug-in claims. Entries start every 20 bytes while below both sizes; an
// entry counts only when its name ends with a NUL inside its own 20 bytes
// and inside the block, is not empty and has not been seen before.
void WalkProcNames(const char* block, size_t blockBytes, unsigned reported, ProcNameList* out);

// How many bytes of a returned text block to show: the claimed length,
// never more than the block holds, and only up to a NUL within that.
size_t ShownTextBytes(const char* block, size_t blockBytes, unsigned length);
