// Reading a device-independent bitmap file into one memory block, as plain
// logic over a byte source: every header check, every size and the layout
// of the block are decided here, before any memory is asked for. The Win32
// glue supplies the file, the global block and the drawing.
//
// The block is always in the plain form that DIB drawing understands: a
// 40-byte information header (longer headers are cut back to it), the three
// channel masks when the picture is BI_BITFIELDS, the colour table, then the
// pixel rows. So the drawing never has to trust a field of the file.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kDibFileHeaderSize = 14,
    kDibInfoHeaderSize = 40,
    kDibMaskBytes = 12,
    kDibLongestHeader = 124,
    kDibReadChunk = 32768,
};

// The most a block can hold: its size and the image size are 32-bit fields.
// What the process can really allocate is usually less; the caller says so.
const uint64_t kDibLargestBlock = 0xFFFFFFFFu;

enum DibCompression : uint32_t {
    DibRgb = 0,
    DibRle8 = 1,
    DibRle4 = 2,
    DibBitfields = 3,
};

// Why a file was refused; the user sees Em004 for every one of them.
enum DibRefusal {
    DibAccepted = 0,
    DibShortHeaders,      // the file ends inside its headers
    DibNotBitmap,         // no "BM"
    DibOldHeader,         // the 12-byte header
    DibUnknownHeader,     // a header size of no layout the reader knows
    DibBadDepth,          // not 1, 4, 8, 16, 24 or 32 bits per pixel
    DibBadCompression,    // a compression that cannot be sized or drawn
    DibBadDimensions,     // zero or negative width, zero height
    DibBadImageSize,      // zero, or less than the rows need
    DibTruncated,         // the file is shorter than the headers promise
    DibReadFailed,        // a pixel read came back short, a seek failed
    DibBlockTooSmall,     // the caller's block is not the size laid out
    DibTooLarge,          // the block would be larger than can be allocated
};

// A sequential byte source. read gives the number of bytes it delivered
// (fewer at the end of the file); seek places the next read at an offset
// from the start and gives 1 on success.
struct DibReader {
    void* context;
    uint32_t (*read)(void* context, void* buffer, uint32_t length);
    int (*seek)(void* context, uint32_t offset);
};

// The headers as checked, and where everything goes.
struct DibLayout {
    uint8_t header[kDibInfoHeaderSize];   // the block's header, fields completed
    uint8_t masks[kDibMaskBytes];         // BI_BITFIELDS only
    uint32_t pixelFieldOffset;            // the file header's pixel-data offset
    uint32_t headerSize;                  // as the file states it
    int32_t width;
    int32_t height;                       // negative: rows stored top-down
    uint16_t depth;
    uint32_t compression;
    uint32_t colourCount;                 // n: entries of the colour table
    uint32_t maskBytes;                   // 12 for BI_BITFIELDS, else 0
    uint32_t imageSize;                   // bytes of pixel data
    uint32_t tableOffset;                 // colour table in the block
    uint32_t pixelOffset;                 // pixel data in the block
    uint32_t blockSize;
    uint32_t pixelFilePosition;           // where the pixels lie in the file
};

// The arithmetic of the format, each usable alone.
uint32_t DibColourCount(uint32_t coloursUsed, uint16_t depth);
uint64_t DibRowSize(int64_t width, uint16_t depth);
uint64_t DibComputedImageSize(int64_t width, uint16_t depth, int64_t rows);
// Length of the next read of pixel data when `remaining` bytes are left.
uint32_t DibChunkLength(uint32_t remaining);
// Where a picture of `extent` pixels starts in a client extent: centred by
// halves in 16-bit arithmetic, or 0 when the picture is larger.
uint16_t DibOrigin(int32_t extent, int32_t client);

// Reads the file header, the information header and what else precedes the
// colour table (the rest of a longer header, the masks of a 40-byte
// BI_BITFIELDS header), and lays out the block. fileSize is the length of
// the file, or UINT32_MAX when unknown; largestBlock the most the caller can
// allocate. Every size is worked out in 64 bits and checked against both
// before the caller allocates anything, so no header can make it ask for
// more than the file could fill or the process could hold.
DibRefusal DibReadHeaders(const DibReader* reader, uint32_t fileSize, DibLayout* layout,
                          uint64_t largestBlock = kDibLargestBlock);

// Fills a block of layout->blockSize bytes: header, masks, colour table
// (a short table is padded with black) and the pixel data, which must be
// read in full.
DibRefusal DibReadBody(const DibReader* reader, const DibLayout* layout, uint8_t* block,
                       uint32_t blockSize);

// A loaded block described again from its own header (it was written by
// DibReadBody, so it is consistent).
struct DibPicture {
    int32_t width;
    int32_t height;            // as stored: negative for top-down rows
    uint16_t drawnWidth;       // 16-bit sizes of the drawing; larger
    uint16_t drawnHeight;      // pictures are drawn as their first 65535
    uint16_t depth;
    uint32_t colourCount;      // the completed colours-used field
    uint32_t tableOffset;
    uint32_t pixelOffset;
    bool paletteIndices;       // drawn through a palette-index table
};
DibPicture DibDescribeBlock(const uint8_t* block);

// The logical palette of n colour-table entries, in the platform's layout
// (version 0x300, count, then red, green, blue, flags per entry).
uint32_t DibLogPaletteSize(uint32_t n);
void DibFillLogPalette(const uint8_t* colourTable, uint32_t n, uint8_t* out);

// The palette-index table: the 40 header bytes, then the 16-bit numbers
// 0 .. n - 1, so that pixel value i draws with palette entry i.
uint32_t DibIndexTableSize(uint32_t n);
void DibFillIndexTable(const uint8_t* header, uint32_t n, uint8_t* out);
