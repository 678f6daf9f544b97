// Fuzz target of the bitmap reader: the whole load over an in-memory file,
// then what the drawing will take from the block (colour table, palette,
// index table, rows, placement) checked to lie inside it. The block is an
// exact-size heap block, so any read or write past it is a finding of the
// address sanitizer; a broken promise of the layout traps.
#include "saver/pictures/dib.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
struct Source {
    const uint8_t* data;
    size_t size;
    size_t position;
};

uint32_t SourceRead(void* context, void* buffer, uint32_t length)
{
    Source* s = static_cast<Source*>(context);
    size_t left = s->position < s->size ? s->size - s->position : 0;
    uint32_t got = left < length ? static_cast<uint32_t>(left) : length;
    if (got) std::memcpy(buffer, s->data + s->position, got);
    s->position += got;
    return got;
}

int SourceSeek(void* context, uint32_t offset)
{
    static_cast<Source*>(context)->position = offset;
    return 1;
}

void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// An unknown file length lets the header checks pass blocks the file cannot
// fill; those are still laid out and read, up to a size that keeps the
// run fast.
const uint32_t kLargestBlockTried = 4u << 20;

void CheckLoaded(const DibLayout& layout, const uint8_t* block)
{
    DibPicture p = DibDescribeBlock(block);
    Require(Get32(block) == kDibInfoHeaderSize);
    Require(p.pixelOffset == layout.pixelOffset);
    Require(p.tableOffset == layout.tableOffset);
    Require(p.colourCount == layout.colourCount && p.colourCount <= 0xFFFF);
    Require(p.depth > 8 || p.colourCount != 0);
    Require(Get32(block + 20) == layout.imageSize);
    Require(uint64_t{p.pixelOffset} + layout.imageSize == layout.blockSize);

    // Uncompressed rows are read whole by the drawing, whatever the
    // header says; they must all lie in the block.
    uint32_t compression = Get32(block + 16);
    if (compression == DibRgb || compression == DibBitfields) {
        int64_t rows = p.height < 0 ? -int64_t{p.height} : p.height;
        Require(DibComputedImageSize(p.width, p.depth, rows) <= layout.imageSize);
    }
    Require(p.drawnWidth == (p.width > 0xFFFF ? 0xFFFF : p.width));
    Require(p.drawnWidth >= 1 && p.drawnHeight >= 1);

    std::vector<uint8_t> palette(DibLogPaletteSize(p.colourCount));
    DibFillLogPalette(block + p.tableOffset, p.colourCount, palette.data());
    if (p.paletteIndices) {
        uint8_t* index = static_cast<uint8_t*>(std::malloc(DibIndexTableSize(p.colourCount)));
        DibFillIndexTable(block, p.colourCount, index);
        std::free(index);
    }

    static const int32_t clients[] = {0, 1, 2, 101, 640, 641, 1024, 16384, 16385};
    for (int32_t client : clients) {
        uint16_t x = DibOrigin(p.width, client);
        uint16_t y = DibOrigin(p.drawnHeight, client);
        if (p.width <= client) Require(x + p.drawnWidth <= client);
        else Require(x == 0);
        if (p.drawnHeight <= client) Require(y + p.drawnHeight <= client);
        else Require(y == 0);
    }
}

void LoadOnce(const uint8_t* data, size_t size, bool lengthKnown, uint64_t largestBlock)
{
    Source source = {data, size, 0};
    DibReader reader = {&source, SourceRead, SourceSeek};
    uint32_t fileSize = lengthKnown && size < UINT32_MAX ? static_cast<uint32_t>(size) : UINT32_MAX;
    DibLayout layout;
    if (DibReadHeaders(&reader, fileSize, &layout, largestBlock) != DibAccepted) return;

    Require(layout.imageSize != 0 && layout.blockSize <= largestBlock);
    Require(layout.blockSize == layout.pixelOffset + layout.imageSize);
    Require(layout.pixelOffset == layout.tableOffset + 4 * layout.colourCount);
    if (lengthKnown) Require(uint64_t{layout.pixelFilePosition} + layout.imageSize <= size);
    else if (layout.blockSize > kLargestBlockTried) return;

    uint8_t* block = static_cast<uint8_t*>(std::malloc(layout.blockSize));
    Require(block != nullptr);
    DibRefusal body = DibReadBody(&reader, &layout, block, layout.blockSize);
    if (lengthKnown) Require(body == DibAccepted);
    if (body == DibAccepted) CheckLoaded(layout, block);
    std::free(block);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadOnce(data, size, true, kDibLargestBlock);
    LoadOnce(data, size, false, kDibLargestBlock);
    // A process short of memory: the bound must hold for any header.
    LoadOnce(data, size, false, 4096);
    return 0;
}
