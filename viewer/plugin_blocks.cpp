#include "viewer/plugin_blocks.h"

#include <cstring>

size_t ShownTextBytes(const char* block, size_t blockBytes)
{
    if (block == nullptr) return 0;
    const void* end = std::memchr(block, '\0', blockBytes);
    return end ? static_cast<size_t>(static_cast<const char*>(end) - block) : blockBytes;
}
