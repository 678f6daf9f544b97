#include <gtest/gtest.h>

#include "saver/pictures/dib.h"

#include <climits>
#include <cstring>
#include <functional>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// Offsets of the information header's fields in a file.
enum { kSize = 14, kWidth = 18, kHeight = 22, kDepth = 28, kCompression = 30, kImageSize = 34, kUsed = 46 };

// A well-formed file: a header of headerSize bytes, colours-used as given,
// the colour table that implies (entry i is blue i, green 2i, red 3i),
// then pixel bytes counting up from 0; the pixel-data offset set.
Bytes MakeBmp(int32_t width, int32_t height, uint16_t depth, uint32_t coloursUsed = 0, uint32_t headerSize = 40)
{
    uint32_t n = coloursUsed ? coloursUsed : (depth <= 8 ? 1u << depth : 0);
    uint32_t rows = height < 0 ? -height : height;
    uint32_t image = (depth * width + 31) / 32 * 4 * rows;
    uint32_t offset = 14 + headerSize + 4 * n;
    Bytes b(offset + image, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, offset);
    Put32(b, kSize, headerSize);
    Put32(b, kWidth, static_cast<uint32_t>(width));
    Put32(b, kHeight, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, kDepth, depth);
    Put32(b, kUsed, coloursUsed);
    for (uint32_t i = 0; i < n; ++i) {
        b[14 + headerSize + 4 * i] = static_cast<uint8_t>(i);
        b[14 + headerSize + 4 * i + 1] = static_cast<uint8_t>(2 * i);
        b[14 + headerSize + 4 * i + 2] = static_cast<uint8_t>(3 * i);
    }
    for (uint32_t i = 0; i < image; ++i) b[offset + i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

// An in-memory file that remembers the length of every read and seek.
struct MemoryFile {
    const Bytes* bytes;
    size_t position;
    std::vector<uint32_t> reads;
    std::vector<uint32_t> seeks;
};

uint32_t MemoryRead(void* context, void* buffer, uint32_t length)
{
    MemoryFile* f = static_cast<MemoryFile*>(context);
    f->reads.push_back(length);
    size_t left = f->position < f->bytes->size() ? f->bytes->size() - f->position : 0;
    uint32_t got = left < length ? static_cast<uint32_t>(left) : length;
    if (got) std::memcpy(buffer, f->bytes->data() + f->position, got);
    f->position += got;
    return got;
}

int MemorySeek(void* context, uint32_t offset)
{
    MemoryFile* f = static_cast<MemoryFile*>(context);
    f->seeks.push_back(offset);
    f->position = offset;
    return 1;
}

struct Loaded {
    DibRefusal refusal;
    DibLayout layout;
    Bytes block;
    MemoryFile file;
};

// The whole load as the presenter does it; fileSize UINT32_MAX hides the
// length from the header checks so that the body's own checks are reached.
Loaded Load(const Bytes& bytes, uint32_t fileSize, uint64_t largestBlock = kDibLargestBlock)
{
    Loaded r = {};
    r.file.bytes = &bytes;
    DibReader reader = {&r.file, MemoryRead, MemorySeek};
    r.refusal = DibReadHeaders(&reader, fileSize, &r.layout, largestBlock);
    if (r.refusal != DibAccepted) return r;
    r.block.assign(r.layout.blockSize, 0xCC);
    r.refusal = DibReadBody(&reader, &r.layout, r.block.data(), static_cast<uint32_t>(r.block.size()));
    return r;
}

Loaded Load(const Bytes& bytes) { return Load(bytes, static_cast<uint32_t>(bytes.size())); }
}

TEST(Dib, OriginCentresByHalvesAndStartsOversizedPicturesAtZero)
{
    struct Case {
        int line;
        int32_t extent, client;
        uint16_t origin;
    } cases[] = {
        {__LINE__, 101, 640, 270},    // 320 - 50
        {__LINE__, 51, 480, 215},     // 240 - 25
        {__LINE__, 640, 640, 0},      // exactly as wide: 320 - 320
        {__LINE__, 641, 640, 0},      // one wider: left edge, last column lost
        {__LINE__, 639, 640, 1},      // 320 - 319
        {__LINE__, 101, 641, 270},    // both halves truncated
        {__LINE__, 1, 1, 0},
        {__LINE__, 16384, 1024, 0},
        {__LINE__, 1, 0, 0},          // no client area at all
        // Only the low 16 bits are drawn; the difference wraps at 65536.
        {__LINE__, -2, 100, 32819},   // 50 - 65534/2 = -32717
    };
    for (const Case& c : cases) EXPECT_EQ(DibOrigin(c.extent, c.client), c.origin) << "line " << c.line;
}

TEST(Dib, ColourCountFollowsDepthWhenColoursUsedIsZero)
{
    struct Case {
        int line;
        uint32_t used;
        uint16_t depth;
        uint32_t n;
    } cases[] = {
        {__LINE__, 0, 1, 2},
        {__LINE__, 0, 4, 16},
        {__LINE__, 0, 8, 256},
        {__LINE__, 0, 24, 0},
        {__LINE__, 0, 16, 0},
        {__LINE__, 0, 32, 0},
        {__LINE__, 2, 1, 2},
        {__LINE__, 5, 4, 5},
        {__LINE__, 20, 8, 20},
        {__LINE__, 3, 24, 3},
        {__LINE__, 0x10002, 8, 2},     // low 16 bits only
        {__LINE__, 0x10000, 8, 256},
        {__LINE__, 0x10000, 24, 0},
        {__LINE__, 0xFFFF, 8, 0xFFFF},
    };
    for (const Case& c : cases) EXPECT_EQ(DibColourCount(c.used, c.depth), c.n) << "line " << c.line;
}

TEST(Dib, RowsArePaddedToFourBytes)
{
    EXPECT_EQ(DibRowSize(101, 8), 104u);
    EXPECT_EQ(DibRowSize(101, 24), 304u);
    EXPECT_EQ(DibRowSize(101, 4), 52u);
    EXPECT_EQ(DibRowSize(1, 1), 4u);
    EXPECT_EQ(DibRowSize(33, 1), 8u);
    EXPECT_EQ(DibRowSize(3, 16), 8u);
    EXPECT_EQ(DibRowSize(0, 8), 0u);
    EXPECT_EQ(DibRowSize(-5, 8), 0u);
    EXPECT_EQ(DibComputedImageSize(101, 8, 51), 104u * 51);
    // No 32-bit wrap on the way to the cap check.
    EXPECT_EQ(DibComputedImageSize(0x7FFFFFFF, 32, 0x7FFFFFFF), 0x1FFFFFFFCull * 0x7FFFFFFF);
}

TEST(Dib, PixelDataIsReadInPiecesOf32768)
{
    struct Case {
        int line;
        int32_t width, height;
        uint16_t depth;
        std::vector<uint32_t> pieces;
    } cases[] = {
        {__LINE__, 233, 100, 24, {32768, 32768, 4464}},   // rows of 700: 70000 bytes
        {__LINE__, 256, 256, 8, {32768, 32768}},          // exactly 65536
        {__LINE__, 4, 1, 8, {4}},
        {__LINE__, 128, 256, 8, {32768}},
        {__LINE__, 129, 256, 8, {32768, 256 * 4}},
    };
    for (const Case& c : cases) {
        Bytes file = MakeBmp(c.width, c.height, c.depth);
        Loaded r = Load(file);
        ASSERT_EQ(r.refusal, DibAccepted) << "line " << c.line;
        uint32_t n = r.layout.colourCount;
        // File header, information header, colour table (when there is
        // one), then the pixel pieces.
        std::vector<uint32_t> expected = {14, 40};
        if (n) expected.push_back(4 * n);
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(r.file.reads, expected) << "line " << c.line;
        EXPECT_EQ(0, std::memcmp(r.block.data() + r.layout.pixelOffset, file.data() + 14 + 40 + 4 * n,
                                 r.layout.imageSize))
            << "line " << c.line;
    }
    EXPECT_EQ(DibChunkLength(70000), 32768u);
    EXPECT_EQ(DibChunkLength(32768), 32768u);
    EXPECT_EQ(DibChunkLength(4464), 4464u);
}

TEST(Dib, BlockHoldsCompletedHeaderTableAndPixels)
{
    Bytes file = MakeBmp(101, 51, 8);
    Put16(file, 26, 0);   // planes: ignored, and written as 1
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.layout.colourCount, 256u);
    EXPECT_EQ(r.layout.imageSize, 104u * 51);
    EXPECT_EQ(r.layout.tableOffset, 40u);
    EXPECT_EQ(r.layout.pixelOffset, 40u + 1024);
    EXPECT_EQ(r.layout.blockSize, 40u + 1024 + 104 * 51);
    EXPECT_EQ(r.block.size(), r.layout.blockSize);
    // The two fields the reader completes.
    EXPECT_EQ(Get32(r.block.data() + 32), 256u);
    EXPECT_EQ(Get32(r.block.data() + 20), 104u * 51);
    EXPECT_EQ(0, std::memcmp(r.block.data() + 4, file.data() + 18, 8));
    EXPECT_EQ(r.block[12], 1);
    EXPECT_EQ(r.block[13], 0);
    EXPECT_EQ(0, std::memcmp(r.block.data() + 14, file.data() + 28, 6));
    EXPECT_EQ(0, std::memcmp(r.block.data() + 40, file.data() + 54, 1024));
    EXPECT_EQ(0, std::memcmp(r.block.data() + 1064, file.data() + 1078, 104 * 51));
    EXPECT_EQ(r.file.seeks, std::vector<uint32_t>{1078});

    DibPicture p = DibDescribeBlock(r.block.data());
    EXPECT_EQ(p.drawnWidth, 101);
    EXPECT_EQ(p.drawnHeight, 51);
    EXPECT_EQ(p.pixelOffset, r.layout.pixelOffset);
    EXPECT_EQ(p.tableOffset, 40u);
    EXPECT_TRUE(p.paletteIndices);
}

TEST(Dib, ColourUseFollowsDepthAndColourCount)
{
    struct Case {
        int line;
        uint16_t depth;
        uint32_t used;
        uint32_t n;
        bool paletteIndices;
    } cases[] = {
        {__LINE__, 1, 0, 2, true},
        {__LINE__, 4, 0, 16, true},
        {__LINE__, 8, 0, 256, true},
        {__LINE__, 8, 7, 7, true},
        {__LINE__, 24, 0, 0, false},   // no table, no palette
        {__LINE__, 24, 3, 3, false},   // a palette, but the pixels' own colours
        {__LINE__, 16, 0, 0, false},
        {__LINE__, 32, 2, 2, false},
    };
    for (const Case& c : cases) {
        Loaded r = Load(MakeBmp(9, 3, c.depth, c.used));
        ASSERT_EQ(r.refusal, DibAccepted) << "line " << c.line;
        DibPicture p = DibDescribeBlock(r.block.data());
        EXPECT_EQ(p.colourCount, c.n) << "line " << c.line;
        EXPECT_EQ(p.paletteIndices, c.paletteIndices) << "line " << c.line;
        EXPECT_EQ(p.pixelOffset, 40 + 4 * c.n) << "line " << c.line;
    }
}

TEST(Dib, HighBitsOfColoursUsedAreNotPassedOn)
{
    // The drawing would take the whole field as the table's length.
    Bytes file = MakeBmp(8, 2, 8, 2);
    Put32(file, kUsed, 0x10002);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(Get32(r.block.data() + 32), 2u);
    EXPECT_EQ(r.layout.blockSize, 40u + 8 + 16);
}

TEST(Dib, ZeroPixelOffsetReadsRightBehindTheTable)
{
    Bytes file = MakeBmp(16, 4, 4);
    Put32(file, 10, 0);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_TRUE(r.file.seeks.empty());
    EXPECT_EQ(0, std::memcmp(r.block.data() + r.layout.pixelOffset, file.data() + 14 + 40 + 64, 32));
}

TEST(Dib, NonzeroPixelOffsetSkipsWhatLiesBetween)
{
    Bytes file = MakeBmp(4, 2, 24);
    Bytes gap(10, 0xEE);
    file.insert(file.begin() + 54, gap.begin(), gap.end());
    Put32(file, 10, 64);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.file.seeks, std::vector<uint32_t>{64});
    EXPECT_EQ(0, std::memcmp(r.block.data() + 40, file.data() + 64, 24));
}

TEST(Dib, LongerHeadersAreCutToFortyBytesAndTheirTableReadWhereItLies)
{
    for (uint32_t headerSize : {52u, 56u, 108u, 124u}) {
        Bytes file = MakeBmp(5, 3, 8, 4, headerSize);
        Put32(file, 10, 0);   // the table must be found by the header size alone
        Loaded r = Load(file);
        ASSERT_EQ(r.refusal, DibAccepted) << headerSize;
        EXPECT_EQ(Get32(r.block.data()), 40u) << headerSize;
        EXPECT_EQ(0, std::memcmp(r.block.data() + 40, file.data() + 14 + headerSize, 16)) << headerSize;
        EXPECT_EQ(0, std::memcmp(r.block.data() + 56, file.data() + 14 + headerSize + 16, 24)) << headerSize;
    }
}

TEST(Dib, BitfieldMasksFollowTheHeaderInTheBlock)
{
    // 40-byte header: the masks follow it in the file.
    Bytes file = MakeBmp(3, 2, 16);
    Put32(file, kCompression, DibBitfields);
    uint8_t masks[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    file.insert(file.begin() + 54, masks, masks + 12);
    Put32(file, 10, 66);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.layout.tableOffset, 52u);
    EXPECT_EQ(0, std::memcmp(r.block.data() + 40, masks, 12));
    EXPECT_EQ(0, std::memcmp(r.block.data() + 52, file.data() + 66, 16));
    EXPECT_EQ(DibDescribeBlock(r.block.data()).pixelOffset, 52u);

    // A longer header carries them inside.
    Bytes v4 = MakeBmp(3, 2, 32, 0, 108);
    Put32(v4, kCompression, DibBitfields);
    std::memcpy(v4.data() + 54, masks, 12);
    Loaded r4 = Load(v4);
    ASSERT_EQ(r4.refusal, DibAccepted);
    EXPECT_EQ(0, std::memcmp(r4.block.data() + 40, masks, 12));
    EXPECT_EQ(0, std::memcmp(r4.block.data() + 52, v4.data() + 122, 24));
}

TEST(Dib, TopDownRowsAreSizedByTheirCount)
{
    Bytes file = MakeBmp(101, -51, 24);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.layout.imageSize, 304u * 51);
    DibPicture p = DibDescribeBlock(r.block.data());
    EXPECT_EQ(p.height, -51);
    EXPECT_EQ(p.drawnHeight, 51);
}

TEST(Dib, PhotographsAreBoundByWhatCanBeAllocated)
{
    struct Case {
        int line;
        int32_t width, height;
        uint16_t depth;
        uint64_t largest;
        DibRefusal refusal;
        uint16_t drawnWidth, drawnHeight;
    } cases[] = {
        {__LINE__, 6000, 4000, 24, kDibLargestBlock, DibAccepted, 6000, 4000},   // 72 MB of rows
        {__LINE__, 6000, -4000, 24, 40 + 72000000, DibAccepted, 6000, 4000},    // exactly what fits
        {__LINE__, 6000, 4000, 24, 40 + 72000000 - 1, DibTooLarge, 0, 0},
        {__LINE__, 70000, 2, 1, kDibLargestBlock, DibAccepted, 65535, 2},        // held, not wrapped to 4464
        {__LINE__, 3, 70000, 8, kDibLargestBlock, DibAccepted, 3, 65535},
    };
    for (const Case& c : cases) {
        // Headers only: the length the file states is what the check sees.
        Bytes file = MakeBmp(1, 1, c.depth);
        Put32(file, kWidth, static_cast<uint32_t>(c.width));
        Put32(file, kHeight, static_cast<uint32_t>(c.height));
        uint64_t rows = c.height < 0 ? -int64_t{c.height} : c.height;
        uint64_t image = DibRowSize(c.width, c.depth) * rows;
        uint64_t pixelsAt = Get32(file.data() + 10);
        MemoryFile f = {&file, 0, {}, {}};
        DibReader reader = {&f, MemoryRead, MemorySeek};
        DibLayout layout;
        ASSERT_EQ(DibReadHeaders(&reader, static_cast<uint32_t>(pixelsAt + image), &layout, c.largest), c.refusal)
            << "line " << c.line;
        if (c.refusal != DibAccepted) continue;
        EXPECT_EQ(layout.imageSize, image) << "line " << c.line;
        // The block's header, as the body writes it, gives the drawn sizes.
        Bytes block(layout.header, layout.header + kDibInfoHeaderSize);
        DibPicture p = DibDescribeBlock(block.data());
        EXPECT_EQ(p.drawnWidth, c.drawnWidth) << "line " << c.line;
        EXPECT_EQ(p.drawnHeight, c.drawnHeight) << "line " << c.line;
    }
    // Larger than the client: drawn from the left and top edges.
    EXPECT_EQ(DibOrigin(6000, 1024), 0);
    EXPECT_EQ(DibOrigin(4000, 768), 0);
}

TEST(Dib, StatedImageSizeLargerThanTheRowsIsReadAsTheRows)
{
    Bytes file = MakeBmp(4, 4, 8);
    Put32(file, kImageSize, 1000);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.layout.imageSize, 16u);
    EXPECT_EQ(Get32(r.block.data() + 20), 16u);
}

TEST(Dib, RunLengthDataIsReadAtItsStatedSize)
{
    Bytes file = MakeBmp(8, 2, 8);
    Put32(file, kCompression, DibRle8);
    file.resize(1078 + 6);
    Put32(file, kImageSize, 6);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(r.layout.imageSize, 6u);
    EXPECT_EQ(r.layout.blockSize, 40u + 1024 + 6);
}

TEST(Dib, ShortColourTableIsPaddedWithBlack)
{
    // The table runs off the end of the file; the pixel offset points back
    // at its first entry, so the pixels are there in full.
    Bytes file = MakeBmp(8, 1, 1, 2);
    file.resize(58);
    Put32(file, 10, 54);
    Loaded r = Load(file);
    ASSERT_EQ(r.refusal, DibAccepted);
    EXPECT_EQ(0, std::memcmp(r.block.data() + 40, file.data() + 54, 4));
    EXPECT_EQ(Get32(r.block.data() + 44), 0u);
}

TEST(Dib, BrokenFilesAreRefusedBeforeAnyBlock)
{
    using Edit = std::function<void(Bytes&)>;
    struct Case {
        int line;
        Edit edit;
        DibRefusal refusal;
    } cases[] = {
        {__LINE__, [](Bytes& b) { b.resize(10); }, DibShortHeaders},
        {__LINE__, [](Bytes& b) { b.resize(30); }, DibShortHeaders},
        {__LINE__, [](Bytes& b) { b.resize(0); }, DibShortHeaders},
        {__LINE__, [](Bytes& b) { b[1] = 'A'; }, DibNotBitmap},
        {__LINE__, [](Bytes& b) { b[0] = 'M', b[1] = 'B'; }, DibNotBitmap},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 12); }, DibOldHeader},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 12), b.resize(30); }, DibOldHeader},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 64); }, DibUnknownHeader},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 0); }, DibUnknownHeader},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 0xFFFFFFFF); }, DibUnknownHeader},
        {__LINE__, [](Bytes& b) { Put32(b, kSize, 124), b.resize(100); }, DibShortHeaders},
        {__LINE__, [](Bytes& b) { Put16(b, kDepth, 0); }, DibBadDepth},
        {__LINE__, [](Bytes& b) { Put16(b, kDepth, 2); }, DibBadDepth},
        {__LINE__, [](Bytes& b) { Put16(b, kDepth, 64); }, DibBadDepth},
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, 0); }, DibBadDimensions},
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, static_cast<uint32_t>(-8)); }, DibBadDimensions},
        {__LINE__, [](Bytes& b) { Put32(b, kHeight, 0); }, DibBadDimensions},
        // Large pictures are refused only for what the file or the memory
        // cannot hold, each size worked out without wrapping.
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, 16385); }, DibTruncated},
        {__LINE__, [](Bytes& b) { Put32(b, kHeight, static_cast<uint32_t>(-16385)); }, DibTruncated},
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, 16384), Put32(b, kHeight, 16384); }, DibTruncated},
        {__LINE__, [](Bytes& b) { Put32(b, kHeight, 0x80000000u); }, DibTooLarge},
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, 0x7FFFFFFF); }, DibTooLarge},
        {__LINE__, [](Bytes& b) { Put32(b, kWidth, 0x7FFFFFFF), Put32(b, kHeight, 0x7FFFFFFF); }, DibTooLarge},
        {__LINE__, [](Bytes& b) { Put16(b, kDepth, 32), Put32(b, kWidth, 0x40000000), Put32(b, kHeight, 1); },
         DibTooLarge},   // 2^32 bytes of one row: one more than a 32-bit size
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, 4); }, DibBadCompression},   // JPEG
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, 5); }, DibBadCompression},   // PNG
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, DibRle4); }, DibBadCompression},
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, DibBitfields); }, DibBadCompression},
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, DibRle8), Put32(b, kImageSize, 0); }, DibBadImageSize},
        {__LINE__, [](Bytes& b) { Put32(b, kCompression, DibRle8), Put32(b, kImageSize, 0x7FFFFFFF); },
         DibTruncated},
        {__LINE__,
         [](Bytes& b) { Put32(b, kCompression, DibRle8), Put32(b, kHeight, static_cast<uint32_t>(-4)); },
         DibBadCompression},
        {__LINE__, [](Bytes& b) { Put32(b, kImageSize, 15); }, DibBadImageSize},   // rows need 16
        {__LINE__, [](Bytes& b) { b.pop_back(); }, DibTruncated},
        {__LINE__, [](Bytes& b) { b.resize(1078); }, DibTruncated},
        {__LINE__, [](Bytes& b) { Put32(b, 10, 0xFFFFFFF0u); }, DibTruncated},
        {__LINE__, [](Bytes& b) { Put32(b, 10, 0); b.pop_back(); }, DibTruncated},
        // A table larger than the file when pixels follow it.
        {__LINE__, [](Bytes& b) { Put32(b, kUsed, 0xFFFF), Put32(b, 10, 0); }, DibTruncated},
    };
    for (const Case& c : cases) {
        Bytes file = MakeBmp(4, 4, 8);
        c.edit(file);
        Loaded r = Load(file);
        EXPECT_EQ(r.refusal, c.refusal) << "line " << c.line;
        EXPECT_TRUE(r.block.empty()) << "line " << c.line;
    }
}

TEST(Dib, BitfieldsHeaderWithoutItsMasksIsRefused)
{
    Bytes file = MakeBmp(1, 1, 16);
    Put32(file, kCompression, DibBitfields);
    file.resize(60);
    Loaded r = Load(file, UINT32_MAX);
    EXPECT_EQ(r.refusal, DibShortHeaders);
}

TEST(Dib, PixelsShortOfTheImageSizeFailTheBody)
{
    // With the file's length unknown, the shortfall shows in the reads.
    struct Case {
        int line;
        int32_t width, height;
        size_t cut;
    } cases[] = {
        {__LINE__, 4, 4, 1},
        {__LINE__, 233, 100, 1},       // the last, short piece
        {__LINE__, 233, 100, 4465},    // a full 32768 piece
        {__LINE__, 4, 4, 48},          // no pixels at all
    };
    for (const Case& c : cases) {
        Bytes file = MakeBmp(c.width, c.height, 24);
        file.resize(file.size() - c.cut);
        EXPECT_EQ(Load(file, UINT32_MAX).refusal, DibReadFailed) << "line " << c.line;
    }
    Bytes file = MakeBmp(4, 4, 8);
    Put32(file, 10, 5000);
    EXPECT_EQ(Load(file, UINT32_MAX).refusal, DibReadFailed);
}

TEST(Dib, BodyRefusesABlockSmallerThanLaidOut)
{
    Bytes file = MakeBmp(4, 4, 8);
    MemoryFile f = {&file, 0, {}, {}};
    DibReader reader = {&f, MemoryRead, MemorySeek};
    DibLayout layout;
    ASSERT_EQ(DibReadHeaders(&reader, static_cast<uint32_t>(file.size()), &layout), DibAccepted);
    Bytes block(layout.blockSize - 1);
    EXPECT_EQ(DibReadBody(&reader, &layout, block.data(), static_cast<uint32_t>(block.size())), DibBlockTooSmall);
}

TEST(Dib, PaletteAndIndexTableLayout)
{
    const uint8_t table[12] = {10, 20, 30, 0, 40, 50, 60, 0xFF, 1, 2, 3, 9};
    Bytes palette(DibLogPaletteSize(3), 0xCC);
    EXPECT_EQ(palette.size(), 20u);
    DibFillLogPalette(table, 3, palette.data());
    const Bytes expected = {0x00, 0x03, 3, 0, 30, 20, 10, 0, 60, 50, 40, 0, 3, 2, 1, 0};
    EXPECT_EQ(Bytes(palette.begin(), palette.begin() + 16), expected);

    uint8_t header[40];
    for (int i = 0; i < 40; ++i) header[i] = static_cast<uint8_t>(100 + i);
    Bytes index(DibIndexTableSize(300), 0xCC);
    EXPECT_EQ(index.size(), 640u);
    DibFillIndexTable(header, 300, index.data());
    EXPECT_EQ(0, std::memcmp(index.data(), header, 40));
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(index[40 + 2 * i], static_cast<uint8_t>(i)) << i;
        ASSERT_EQ(index[41 + 2 * i], static_cast<uint8_t>(i >> 8)) << i;
    }
}
