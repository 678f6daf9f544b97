#include "saver/pictures/dib.h"

#include <cstring>

namespace {
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Offsets inside the information header.
enum {
    kSizeField = 0,
    kWidthField = 4,
    kHeightField = 8,
    kPlanesField = 12,
    kDepthField = 14,
    kCompressionField = 16,
    kImageSizeField = 20,
    kColoursUsedField = 32,
    kOldHeaderSize = 12,
};

// The header sizes whose layout begins with the 40-byte header and, from 52
// bytes on, carries the channel masks right behind it. Anything else (the
// 64-byte header of the other family among them) gives its compression
// field another meaning and is not read.
bool KnownHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool KnownDepth(uint16_t depth)
{
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// Compressions whose pixel data the reader can size and the DIB drawing can
// decode; the run-length forms belong to one depth each and to bottom-up
// rows only.
bool DrawableCompression(uint32_t compression, uint16_t depth, int32_t height)
{
    switch (compression) {
    case DibRgb:
        return true;
    case DibRle8:
        return depth == 8 && height > 0;
    case DibRle4:
        return depth == 4 && height > 0;
    case DibBitfields:
        return depth == 16 || depth == 32;
    default:
        return false;
    }
}

uint32_t ReadExactly(const DibReader* reader, void* buffer, uint32_t length)
{
    if (length == 0) return 0;
    return reader->read(reader->context, buffer, length);
}
}

uint32_t DibColourCount(uint32_t coloursUsed, uint16_t depth)
{
    uint32_t n = coloursUsed & 0xFFFFu;
    // Only indexed pictures need a full table when the count is left
    // open; 16, 24 and 32 bits per pixel carry their colours in the pixels.
    if (n == 0 && depth <= 8) n = 1u << depth;
    return n;
}

uint64_t DibRowSize(int64_t width, uint16_t depth)
{
    if (width <= 0) return 0;
    return (static_cast<uint64_t>(depth) * static_cast<uint64_t>(width) + 31) / 32 * 4;
}

uint64_t DibComputedImageSize(int64_t width, uint16_t depth, int64_t rows)
{
    if (rows <= 0) return 0;
    return DibRowSize(width, depth) * static_cast<uint64_t>(rows);
}

uint32_t DibChunkLength(uint32_t remaining)
{
    const uint32_t chunk = kDibReadChunk;
    return remaining > chunk ? chunk : remaining;
}

uint16_t DibOrigin(int32_t extent, int32_t client)
{
    if (extent > client) return 0;
    uint16_t drawn = static_cast<uint16_t>(extent);
    return static_cast<uint16_t>(client / 2 - drawn / 2);
}

DibRefusal DibReadHeaders(const DibReader* reader, uint32_t fileSize, DibLayout* layout, uint64_t largestBlock)
{
    if (largestBlock > kDibLargestBlock) largestBlock = kDibLargestBlock;
    std::memset(layout, 0, sizeof *layout);

    uint8_t fileHeader[kDibFileHeaderSize];
    if (ReadExactly(reader, fileHeader, sizeof fileHeader) != sizeof fileHeader) return DibShortHeaders;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return DibNotBitmap;
    layout->pixelFieldOffset = Get32(fileHeader + 10);

    uint8_t info[kDibLongestHeader];
    uint32_t got = ReadExactly(reader, info, kDibInfoHeaderSize);
    if (got >= 4 && Get32(info) == kOldHeaderSize) return DibOldHeader;
    if (got != kDibInfoHeaderSize) return DibShortHeaders;
    uint32_t headerSize = Get32(info + kSizeField);
    if (!KnownHeaderSize(headerSize)) return DibUnknownHeader;
    // The rest of a longer header lies between the 40 bytes and the colour
    // table; it is read here so that the table is read where it really is.
    uint32_t rest = headerSize - kDibInfoHeaderSize;
    if (ReadExactly(reader, info + kDibInfoHeaderSize, rest) != rest) return DibShortHeaders;

    int32_t width = static_cast<int32_t>(Get32(info + kWidthField));
    int32_t height = static_cast<int32_t>(Get32(info + kHeightField));
    uint16_t depth = Get16(info + kDepthField);
    uint32_t compression = Get32(info + kCompressionField);
    uint32_t statedImageSize = Get32(info + kImageSizeField);

    if (!KnownDepth(depth)) return DibBadDepth;
    int64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    if (width <= 0 || rows == 0) return DibBadDimensions;
    if (!DrawableCompression(compression, depth, height)) return DibBadCompression;

    // The colour table and masks come first in the block; with them the
    // pixel data must still fit what can be allocated.
    uint32_t n = DibColourCount(Get32(info + kColoursUsedField), depth);
    const uint64_t pixelOffset = uint64_t{kDibInfoHeaderSize} + (compression == DibBitfields ? kDibMaskBytes : 0) + 4 * uint64_t{n};
    uint64_t imageSize;
    if (compression == DibRle8 || compression == DibRle4) {
        // Run-length data has no size of its own but the stated one.
        if (statedImageSize == 0) return DibBadImageSize;
        imageSize = statedImageSize;
    } else {
        // The drawing reads whole rows whatever the header states, so the
        // rows decide the size; a smaller stated size would let it read
        // past the block.
        imageSize = DibComputedImageSize(width, depth, rows);
        if (imageSize == 0) return DibBadImageSize;
        if (statedImageSize != 0 && statedImageSize < imageSize) return DibBadImageSize;
    }
    if (imageSize > largestBlock || pixelOffset + imageSize > largestBlock) return DibTooLarge;

    uint32_t masksInFile = 0;
    if (compression == DibBitfields) {
        layout->maskBytes = kDibMaskBytes;
        if (headerSize == kDibInfoHeaderSize) {
            if (ReadExactly(reader, layout->masks, kDibMaskBytes) != kDibMaskBytes) return DibShortHeaders;
            masksInFile = kDibMaskBytes;
        } else {
            std::memcpy(layout->masks, info + kDibInfoHeaderSize, kDibMaskBytes);
        }
    }

    layout->headerSize = headerSize;
    layout->width = width;
    layout->height = height;
    layout->depth = depth;
    layout->compression = compression;
    layout->colourCount = n;
    layout->imageSize = static_cast<uint32_t>(imageSize);
    layout->tableOffset = kDibInfoHeaderSize + layout->maskBytes;
    layout->pixelOffset = layout->tableOffset + 4 * n;
    layout->blockSize = static_cast<uint32_t>(pixelOffset + imageSize);

    uint64_t pixelPosition = layout->pixelFieldOffset;
    if (pixelPosition == 0) pixelPosition = uint64_t{kDibFileHeaderSize} + headerSize + masksInFile + 4 * uint64_t{n};
    if (pixelPosition + imageSize > fileSize) return DibTruncated;
    layout->pixelFilePosition = static_cast<uint32_t>(pixelPosition);

    std::memcpy(layout->header, info, kDibInfoHeaderSize);
    Put32(layout->header + kSizeField, kDibInfoHeaderSize);
    // The reader has no use for the plane count; the drawing would refuse
    // anything but 1.
    Put16(layout->header + kPlanesField, 1);
    // Always stored, not only when it was 0: the drawing reads the whole
    // 32-bit field, and high bits beyond the count read here would send it
    // past the colour table.
    Put32(layout->header + kColoursUsedField, n);
    Put32(layout->header + kImageSizeField, layout->imageSize);
    return DibAccepted;
}

DibRefusal DibReadBody(const DibReader* reader, const DibLayout* layout, uint8_t* block, uint32_t blockSize)
{
    if (blockSize < layout->blockSize) return DibBlockTooSmall;
    std::memcpy(block, layout->header, kDibInfoHeaderSize);
    std::memcpy(block + kDibInfoHeaderSize, layout->masks, layout->maskBytes);

    // A colour table cut short by the end of the file is tolerated; its
    // missing entries are black rather than whatever the block held.
    uint32_t tableBytes = 4 * layout->colourCount;
    uint32_t got = ReadExactly(reader, block + layout->tableOffset, tableBytes);
    if (got > tableBytes) got = tableBytes;
    std::memset(block + layout->tableOffset + got, 0, tableBytes - got);

    if (layout->pixelFieldOffset != 0 && !reader->seek(reader->context, layout->pixelFieldOffset))
        return DibReadFailed;

    uint8_t* to = block + layout->pixelOffset;
    uint32_t remaining = layout->imageSize;
    while (remaining > 0) {
        uint32_t length = DibChunkLength(remaining);
        if (ReadExactly(reader, to, length) != length) return DibReadFailed;
        to += length;
        remaining -= length;
    }
    return DibAccepted;
}

DibPicture DibDescribeBlock(const uint8_t* block)
{
    DibPicture p = {};
    p.width = static_cast<int32_t>(Get32(block + kWidthField));
    p.height = static_cast<int32_t>(Get32(block + kHeightField));
    p.depth = Get16(block + kDepthField);
    p.colourCount = Get32(block + kColoursUsedField);
    // Sizes past 16 bits are held at the largest, not wrapped: a wrapped
    // size would draw a narrow slice of a picture that fills the screen.
    uint32_t columns = p.width > 0 ? static_cast<uint32_t>(p.width) : 0u;
    uint32_t rows = p.height < 0 ? 0u - static_cast<uint32_t>(p.height) : static_cast<uint32_t>(p.height);
    p.drawnWidth = static_cast<uint16_t>(columns > 0xFFFFu ? 0xFFFFu : columns);
    p.drawnHeight = static_cast<uint16_t>(rows > 0xFFFFu ? 0xFFFFu : rows);
    uint32_t masks = Get32(block + kCompressionField) == DibBitfields ? kDibMaskBytes : 0;
    p.tableOffset = kDibInfoHeaderSize + masks;
    p.pixelOffset = p.tableOffset + 4 * p.colourCount;
    // Palette indices mean something only for indexed pixels; deeper
    // pictures with a colour table still draw their pixels' own colours.
    p.paletteIndices = p.colourCount != 0 && p.depth <= 8;
    return p;
}

uint32_t DibLogPaletteSize(uint32_t n) { return 4 * n + 8; }

void DibFillLogPalette(const uint8_t* colourTable, uint32_t n, uint8_t* out)
{
    Put16(out, 0x300);
    Put16(out + 2, static_cast<uint16_t>(n));
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* bgr = colourTable + 4 * i;
        uint8_t* entry = out + 4 + 4 * i;
        entry[0] = bgr[2];
        entry[1] = bgr[1];
        entry[2] = bgr[0];
        entry[3] = 0;
    }
}

uint32_t DibIndexTableSize(uint32_t n) { return kDibInfoHeaderSize + 2 * n; }

void DibFillIndexTable(const uint8_t* header, uint32_t n, uint8_t* out)
{
    std::memcpy(out, header, kDibInfoHeaderSize);
    for (uint32_t i = 0; i < n; ++i) Put16(out + kDibInfoHeaderSize + 2 * i, static_cast<uint16_t>(i));
}
