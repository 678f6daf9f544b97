#include "saver/media/names_block.h"

#include <cstring>

uint32_t UsableNamesSize(uint16_t reported, size_t blockSize)
{
    return blockSize < reported ? static_cast<uint32_t>(blockSize) : reported;
}

uint32_t ProcNameCount(uint32_t size)
{
    return (size + kProcNameEntrySize - 1) / kProcNameEntrySize;
}

bool ProcNameAt(const char* block, size_t blockSize, uint32_t size, uint32_t offset,
                char name[kProcNameEntrySize])
{
    std::memset(name, 0, kProcNameEntrySize);
    if (!block || offset >= size || offset >= blockSize) return false;
    size_t room = blockSize - offset;
    if (room > kProcNameEntrySize) room = kProcNameEntrySize;
    const char* entry = block + offset;
    const void* end = std::memchr(entry, '\0', room);
    if (!end || end == entry) return false;
    std::memcpy(name, entry, static_cast<const char*>(end) - entry);
    return true;
}
