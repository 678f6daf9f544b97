#include "common/textgen_names.h"

#include <cstring>

uint32_t UsableNamesSize(uint16_t reported, size_t blockSize)
{
    return blockSize < reported ? static_cast<uint32_t>(blockSize) : reported;
}

uint32_t ProcNameCount(uint32_t size)
{
    return (size + kProcNameEntrySize - 1) / kProcNameEntrySize;
}

ProcNameVerdict ReadProcName(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                             ProcNameEntry* entry)
{
    std::memset(entry, 0, sizeof *entry);
    entry->offset = offset;
    entry->verdict = kProcNameNone;
    if (!block || offset >= size || offset >= blockSize) return entry->verdict;
    size_t room = blockSize - offset;
    if (room > kProcNameEntrySize) room = kProcNameEntrySize;
    const char* start = block + offset;
    const void* end = std::memchr(start, '\0', room);
    // Twenty bytes without a NUL would run into the next entry: cutting the
    // name there would look up some other export.
    size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - start) : room;
    std::memcpy(entry->text, start, length);
    if (!end)
        entry->verdict = kProcNameUnterminated;
    else
        entry->verdict = length == 0 ? kProcNameEmpty : kProcNameUsable;
    return entry->verdict;
}

bool ProcNameAt(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                char name[kProcNameEntrySize])
{
    ProcNameEntry entry;
    bool usable = ReadProcName(block, blockSize, size, offset, &entry) == kProcNameUsable;
    std::memset(name, 0, kProcNameEntrySize);
    if (usable) std::memcpy(name, entry.text, std::strlen(entry.text));
    return usable;
}

void WalkProcNames(const char* block, size_t blockSize, uint16_t reported, ProcNameWalk* walk)
{
    walk->count = 0;
    const uint32_t size = block ? UsableNamesSize(reported, blockSize) : 0;
    for (uint32_t offset = 0; offset < size && walk->count < kMaxProcNameEntries; offset += kProcNameEntrySize)
        ReadProcName(block, blockSize, size, offset, &walk->entries[walk->count++]);
}

int32_t FirstRefusedEntry(const ProcNameWalk* walk)
{
    if (walk->count == 0) return 0;
    for (uint32_t i = 0; i < walk->count; ++i)
        if (walk->entries[i].verdict != kProcNameUsable) return static_cast<int32_t>(i);
    return -1;
}
