// Fuzz target of the plug-in names-block walk: any block of any real size
// (held in exactly that many bytes) with any reported size. The walk must
// never read past the block, must visit entries in steps of 20, and every
// name it hands back must be a terminated, non-empty name of at most 19
// bytes that is a prefix of the entry's own bytes.
#include "common/textgen_names.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 65536 + 2) return 0;
    const uint16_t reported = static_cast<uint16_t>(data[0] | (data[1] << 8));
    const size_t blockSize = size - 2;
    char* block = static_cast<char*>(std::malloc(blockSize ? blockSize : 1));
    if (blockSize) std::memcpy(block, data + 2, blockSize);

    const uint32_t usable = UsableNamesSize(reported, blockSize);
    Require(usable <= reported && usable <= blockSize);
    const uint32_t count = ProcNameCount(usable);
    Require(count == (usable + kProcNameEntrySize - 1) / kProcNameEntrySize);
    for (uint32_t offset = 0; offset < usable + kProcNameEntrySize; offset += kProcNameEntrySize) {
        char name[kProcNameEntrySize];
        std::memset(name, 'x', sizeof name);
        const bool found = ProcNameAt(block, blockSize, usable, offset, name);
        const size_t length = strnlen(name, sizeof name);
        Require(length < sizeof name);
        if (!found) {
            Require(length == 0);
            continue;
        }
        Require(offset < usable && length > 0 && length <= kProcNameMax);
        Require(offset + length < blockSize && std::memcmp(name, block + offset, length) == 0);
        Require(block[offset + length] == '\0');
    }
    std::free(block);
    return 0;
}
