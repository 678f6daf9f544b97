#include "viewer/plugin_blocks.h"

#include <cstring>

void WalkProcNames(const char* block, size_t blockBytes, unsigned reported, ProcNameList* out)
{
    out->count = 0;
    if (block == nullptr) return;
    size_t usable = reported < blockBytes ? reported : blockBytes;
    for (size_t offset = 0; offset < usable && out->count < kMaxProcNames; offset += kNameEntryBytes) {
        size_t room = usable - offset;
        if (room > static_cast<size_t>(kNameEntryBytes)) room = kNameEntryBytes;
        const void* end = std::memchr(block + offset, '\0', room);
        // No terminator within the entry: the name is longer than an export
        // name may be here, and cutting it would look up some other export.
        if (end == nullptr || end == block + offset) continue;
        const char* name = block + offset;
        bool seen = false;
        for (int i = 0; i < out->count && !seen; ++i) seen = std::strcmp(out->names[i], name) == 0;
        if (seen) continue;
        std::memcpy(out->names[out->count], name, static_cast<const char*>(end) - name + 1);
        ++out->count;
    }
}

size_t ShownTextBytes(const char* block, size_t blockBytes, unsigned length)
{
    if (block == nullptr) return 0;
    size_t limit = length < blockBytes ? length : blockBytes;
    const void* end = std::memchr(block, '\0', limit);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - block) : limit;
}
