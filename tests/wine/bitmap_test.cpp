#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/pictures/pictures_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
// "Em004 ルミナフ絵（Bmp）が読込めませんでした"
const char kEm004[] = "Em004 \x83\x8b\x83\x7e\x83\x69\x83\x74\x8a\x47\x81\x69" "Bmp"
                      "\x81\x6a\x82\xaa\x93\xc7\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";

void Put16(std::string& b, size_t at, uint16_t v)
{
    b[at] = static_cast<char>(v);
    b[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// A picture as a file. pixel(x, y) gives, for the top-left origin, a
// palette index (depth 1 to 8), a COLORREF (24 and 32) or the 16-bit word.
struct Picture {
    int32_t width;
    int32_t height;               // negative: rows stored top-down
    uint16_t depth;
    std::vector<COLORREF> palette;
    std::function<uint32_t(int, int)> pixel;
    uint32_t coloursUsed = 0;
    uint32_t headerSize = 40;
    uint32_t compression = 0;
    std::string masks;            // BI_BITFIELDS
};

std::string Row(const Picture& p, int y)
{
    std::string row;
    uint32_t bits = 0;
    int filled = 0;
    for (int x = 0; x < p.width; ++x) {
        uint32_t v = p.pixel(x, y);
        if (p.depth == 24 || p.depth == 32) {
            row += static_cast<char>(GetBValue(v));
            row += static_cast<char>(GetGValue(v));
            row += static_cast<char>(GetRValue(v));
            if (p.depth == 32) row += '\0';
        } else if (p.depth == 16) {
            row += static_cast<char>(v);
            row += static_cast<char>(v >> 8);
        } else {
            bits = bits << p.depth | v;
            filled += p.depth;
            if (filled == 8) row += static_cast<char>(bits), bits = 0, filled = 0;
        }
    }
    if (filled) row += static_cast<char>(bits << (8 - filled));
    while (row.size() % 4) row += '\0';
    return row;
}

std::string Pixels(const Picture& p)
{
    int rows = p.height < 0 ? -p.height : p.height;
    std::string data;
    // Stored bottom-up unless the height is negative.
    for (int i = 0; i < rows; ++i) data += Row(p, p.height < 0 ? i : rows - 1 - i);
    return data;
}

std::string File(const Picture& p, const std::string& pixels)
{
    std::string table;
    for (COLORREF c : p.palette) {
        table += static_cast<char>(GetBValue(c));
        table += static_cast<char>(GetGValue(c));
        table += static_cast<char>(GetRValue(c));
        table += '\0';
    }
    std::string header(p.headerSize, '\0');
    Put32(header, 0, p.headerSize);
    Put32(header, 4, static_cast<uint32_t>(p.width));
    Put32(header, 8, static_cast<uint32_t>(p.height));
    Put16(header, 12, 1);
    Put16(header, 14, p.depth);
    Put32(header, 16, p.compression);
    if (p.compression) Put32(header, 20, static_cast<uint32_t>(pixels.size()));
    Put32(header, 32, p.coloursUsed);
    std::string masks = p.masks;
    if (p.headerSize > 40 && !masks.empty()) header.replace(40, masks.size(), masks), masks.clear();
    std::string head = "BM" + std::string(12, '\0') + header + masks + table;
    Put32(head, 2, static_cast<uint32_t>(head.size() + pixels.size()));
    Put32(head, 10, static_cast<uint32_t>(head.size()));
    return head + pixels;
}

std::string File(const Picture& p) { return File(p, Pixels(p)); }

std::vector<COLORREF> DistinctColours(int n)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < n; ++i) colours.push_back(RGB(i * 37 % 256, 255 - i, i * 11 % 256));
    return colours;
}

const COLORREF kBackground = RGB(0, 96, 48);

void MakeFolder(const std::string& path)
{
    Wide932 w;
    WideFrom932(&w, path.c_str(), -1);
    CreateDirectoryW(w.text, nullptr);
    FreeWide932(&w);
}

struct BitmapTest : testing::Test {
    HWND host = nullptr;
    HWND saver = nullptr;
    std::string folder;

    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        SetSettingDword("Opening", 0);
        folder = MakeTempFolder("bmp");
    }
    void TearDown() override
    {
        if (g.ScreenSurface && saver) ReleaseDC(saver, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        if (host) DestroyWindow(host);
        PumpMessages();
        DeleteSettingsKey();
        RemoveTree(folder);
    }
    void Start(int w, int h)
    {
        host = CreateHostWindow(w, h);
        saver = CreatePreviewSaver(host);
        ASSERT_NE(saver, nullptr);
        ASSERT_EQ(g.clientRect.right, w);
        ASSERT_EQ(g.clientRect.bottom, h);
        if (g.BackgroundBrush) DeleteObject(g.BackgroundBrush);
        g.BackgroundBrush = CreateSolidBrush(kBackground);
    }
    std::string Path(const char* name) const { return folder + "\\" + name; }
    void Choose(const std::string& path)
    {
        Widen932(path, g.currentPath);
        g.currentKind = 2;
        g.itemBusy = 1;
        g.bitmapTicks = 0;
    }
    // The first tick's composition alone, engine aside.
    int Compose(const std::string& bytes)
    {
        WriteFileBytes(Path("PIC.BMP"), bytes);
        Choose(Path("PIC.BMP"));
        g.ScreenSurface = GetDC(saver);
        int drawn = ComposeBitmapPicture();
        ReleaseDC(saver, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        return drawn;
    }
    COLORREF Source(int x, int y) const { return GetPixel(g.SourceSurface.dc, x, y); }
    void ExpectNothingHeld(int line)
    {
        EXPECT_EQ(g.SourceSurface.dc, nullptr) << "line " << line;
        EXPECT_EQ(g.SourceSurface.bitmap, nullptr) << "line " << line;
        EXPECT_EQ(g.dibBlock, nullptr) << "line " << line;
        EXPECT_EQ(g.dibPalette, nullptr) << "line " << line;
        EXPECT_EQ(g.dibIndexTable, nullptr) << "line " << line;
        EXPECT_EQ(g.dibIndexTableLocked, nullptr) << "line " << line;
        EXPECT_EQ(g.ScreenSurface, nullptr) << "line " << line;
        EXPECT_EQ(g.bitmapTicks, 0u) << "line " << line;
        EXPECT_EQ(g.itemBusy, 0u) << "line " << line;
    }
    // Every pixel of the picture's rectangle in the source surface against
    // the colour it should have, and the background right around it.
    void ExpectDrawn(int x0, int y0, int w, int h, const std::function<COLORREF(int, int)>& colour)
    {
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (Source(x0 + x, y0 + y) != colour(x, y) && ++wrong < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << Source(x0 + x, y0 + y)
                                  << " not " << colour(x, y);
        EXPECT_EQ(wrong, 0);
        if (x0 > 0) EXPECT_EQ(Source(x0 - 1, y0), kBackground);
        if (y0 > 0) EXPECT_EQ(Source(x0, y0 - 1), kBackground);
        if (x0 + w < g.clientRect.right) EXPECT_EQ(Source(x0 + w, y0 + h - 1), kBackground);
        if (y0 + h < g.clientRect.bottom) EXPECT_EQ(Source(x0 + w - 1, y0 + h), kBackground);
    }
};
}

TEST_F(BitmapTest, EightBitPictureIsCentredInItsTrueColours)
{
    Start(640, 480);
    Picture p = {101, 51, 8, DistinctColours(256), [](int x, int y) { return uint32_t((x + 3 * y) % 256); }};
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_EQ(g.dibX, 270);
    EXPECT_EQ(g.dibY, 215);
    EXPECT_EQ(g.dibW, 101);
    EXPECT_EQ(g.dibH, 51);
    EXPECT_EQ(g.dibColorUse, static_cast<UINT>(DIB_PAL_COLORS));
    EXPECT_NE(g.dibPalette, nullptr);
    EXPECT_NE(g.dibIndexTable, nullptr);
    EXPECT_NE(g.dibIndexTableLocked, nullptr);
    EXPECT_EQ(Source(0, 0), kBackground);
    EXPECT_EQ(Source(639, 479), kBackground);
    ExpectDrawn(270, 215, 101, 51, [&](int x, int y) { return p.palette[(x + 3 * y) % 256]; });
    ReleaseBitmapItem();
    g.itemBusy = 0;
    ExpectNothingHeld(__LINE__);
}

TEST_F(BitmapTest, TwentyFourBitPictureIsDrawnWithoutPalette)
{
    Start(640, 480);
    auto colour = [](int x, int y) { return RGB(x * 2, y * 4, 200 - x); };
    Picture p = {101, 51, 24, {}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_EQ(g.dibColorUse, static_cast<UINT>(DIB_RGB_COLORS));
    EXPECT_EQ(g.dibPalette, nullptr);
    EXPECT_EQ(g.dibIndexTable, nullptr);
    ExpectDrawn(270, 215, 101, 51, colour);
}

TEST_F(BitmapTest, TwentyFourBitPictureWithColourCountGetsPaletteButOwnColours)
{
    Start(320, 240);
    auto colour = [](int x, int y) { return RGB(x * 9, 250 - y * 9, 77); };
    Picture p = {20, 16, 24, {RGB(255, 0, 0), RGB(0, 0, 255)}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    p.coloursUsed = 2;
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_NE(g.dibPalette, nullptr);
    EXPECT_EQ(g.dibIndexTable, nullptr);
    EXPECT_EQ(g.dibColorUse, static_cast<UINT>(DIB_RGB_COLORS));
    ExpectDrawn(150, 112, 20, 16, colour);
}

TEST_F(BitmapTest, IndexedDepthsDrawTheirTableColours)
{
    struct Case {
        int line;
        uint16_t depth;
        uint32_t coloursUsed;
        int colours;
    } cases[] = {
        {__LINE__, 1, 0, 2},
        {__LINE__, 4, 0, 16},
        {__LINE__, 4, 5, 5},
        {__LINE__, 8, 0, 256},
        {__LINE__, 8, 3, 3},
    };
    Start(320, 240);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<COLORREF> palette = DistinctColours(c.colours);
        int n = c.colours;
        Picture p = {33, 9, c.depth, palette, [n](int x, int y) { return uint32_t((x / 2 + y) % n); }};
        p.coloursUsed = c.coloursUsed;
        ASSERT_EQ(Compose(File(p)), 1);
        EXPECT_EQ(g.dibColorUse, static_cast<UINT>(DIB_PAL_COLORS));
        ExpectDrawn(144, 116, 33, 9, [&](int x, int y) { return palette[(x / 2 + y) % n]; });
        ReleaseBitmapItem();
    }
}

TEST_F(BitmapTest, TopDownRowsAreDrawnUpright)
{
    Start(320, 240);
    auto colour = [](int, int y) { return y < 5 ? RGB(255, 0, 0) : RGB(0, 0, 255); };
    Picture p = {12, -10, 24, {}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_EQ(g.dibH, 10);
    ExpectDrawn(154, 115, 12, 10, colour);
}

TEST_F(BitmapTest, SixteenAndThirtyTwoBitPicturesDrawTheirPixelColours)
{
    Start(320, 240);
    std::string masks565 = std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    std::string masks888 = std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
    const uint32_t words565[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    const uint32_t words555[4] = {0x7C00, 0x03E0, 0x001F, 0x7FFF};
    const COLORREF pure[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    auto quarter = [](int x) { return x / 4 % 4; };
    struct Case {
        int line;
        uint16_t depth;
        uint32_t compression;
        uint32_t headerSize;
        std::string masks;
        const uint32_t* words;   // 16-bit words, or null for 32-bit colours
    } cases[] = {
        {__LINE__, 16, 0, 40, "", words555},
        {__LINE__, 16, 3, 40, masks565, words565},
        {__LINE__, 16, 3, 108, masks565, words565},
        {__LINE__, 32, 0, 40, "", nullptr},
        {__LINE__, 32, 3, 124, masks888, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const uint32_t* words = c.words;
        Picture p = {16, 4, c.depth, {}, [&](int x, int) { return words ? words[quarter(x)] : uint32_t(pure[quarter(x)]); }};
        p.compression = c.compression;
        p.headerSize = c.headerSize;
        p.masks = c.masks;
        ASSERT_EQ(Compose(File(p)), 1);
        EXPECT_EQ(g.dibPalette, nullptr);
        ExpectDrawn(152, 118, 16, 4, [&](int x, int) { return pure[quarter(x)]; });
        ReleaseBitmapItem();
    }
}

TEST_F(BitmapTest, LongHeaderTableIsTakenFromWhereItLies)
{
    Start(320, 240);
    std::vector<COLORREF> palette = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200), RGB(240, 240, 0)};
    for (uint32_t headerSize : {108u, 124u}) {
        SCOPED_TRACE(headerSize);
        Picture p = {8, 8, 8, palette, [](int x, int y) { return uint32_t((x + y) % 4); }};
        p.coloursUsed = 4;
        p.headerSize = headerSize;
        ASSERT_EQ(Compose(File(p)), 1);
        ExpectDrawn(156, 116, 8, 8, [&](int x, int y) { return palette[(x + y) % 4]; });
        ReleaseBitmapItem();
    }
}

TEST_F(BitmapTest, RunLengthPictureIsDecodedByTheDrawing)
{
    Start(320, 240);
    std::vector<COLORREF> palette = {RGB(250, 0, 0), RGB(0, 250, 0)};
    Picture p = {8, 2, 8, palette, nullptr};
    p.coloursUsed = 2;
    p.compression = 1;
    // Bottom row: 8 x index 1; top row: 4 x 0, 4 x 1; end of bitmap.
    std::string rle("\x08\x01\x00\x00\x04\x00\x04\x01\x00\x01", 10);
    ASSERT_EQ(Compose(File(p, rle)), 1);
    ExpectDrawn(156, 119, 8, 2, [&](int x, int y) { return palette[y == 1 || x >= 4 ? 1 : 0]; });
}

TEST_F(BitmapTest, PictureWiderThanTheClientStartsAtTheLeftEdge)
{
    Start(640, 480);
    auto colour = [](int x, int) { return x == 639 ? RGB(255, 255, 0) : x == 640 ? RGB(255, 0, 255) : RGB(0, 0, 90); };
    Picture p = {641, 10, 24, {}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_EQ(g.dibX, 0);
    EXPECT_EQ(g.dibY, 235);
    EXPECT_EQ(Source(0, 235), RGB(0, 0, 90));
    EXPECT_EQ(Source(639, 235), RGB(255, 255, 0));   // the last column that fits
    EXPECT_EQ(Source(639, 234), kBackground);

    Picture exact = {640, 10, 24, {}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    ASSERT_EQ(Compose(File(exact)), 1);
    EXPECT_EQ(g.dibX, 0);
    EXPECT_EQ(Source(639, 235), RGB(255, 255, 0));
}

TEST_F(BitmapTest, PhotographLargerThanTheScreenIsDrawnFromTheTopLeft)
{
    Start(640, 480);
    // An ordinary camera picture: 6000 x 4000 at 24 bits is 72 MB of rows.
    Picture p = {6000, 4000, 24, {}, [](int x, int y) {
                     return uint32_t(x < 640 && y < 480 ? RGB(x % 256, y % 256, 77) : RGB(255, 0, 255));
                 }};
    ASSERT_EQ(Compose(File(p)), 1);
    EXPECT_EQ(g.dibX, 0);
    EXPECT_EQ(g.dibY, 0);
    for (POINT at : {POINT{0, 0}, POINT{300, 200}, POINT{639, 0}, POINT{0, 479}, POINT{639, 479}})
        EXPECT_EQ(Source(at.x, at.y), RGB(at.x % 256, at.y % 256, 77)) << at.x << "," << at.y;
}

TEST_F(BitmapTest, BrokenFilesShowEm004AndEndTheItem)
{
    Start(640, 480);
    Picture good = {16, 8, 8, DistinctColours(256), [](int x, int) { return uint32_t(x); }};
    std::string valid = File(good);
    std::string wrongMagic = valid;
    wrongMagic[0] = 'X';
    std::string oldHeader = valid;
    Put32(oldHeader, 14, 12);
    std::string zeroWidth = valid;
    Put32(zeroWidth, 18, 0);
    std::string huge = valid;
    Put32(huge, 18, 100000), Put32(huge, 22, 100000);
    std::string overflow = valid;
    Put32(overflow, 18, 0x40000000), Put32(overflow, 22, 0x40000000);
    std::string shortPixels = valid.substr(0, valid.size() - 1);
    std::string jpeg = valid;
    Put32(jpeg, 30, 4);
    struct Case {
        int line;
        const char* name;
        std::string bytes;
    } cases[] = {
        {__LINE__, "TRUNC.BMP", valid.substr(0, 30)},
        {__LINE__, "EMPTY.BMP", ""},
        {__LINE__, "MAGIC.BMP", wrongMagic},
        {__LINE__, "OLD.BMP", oldHeader},
        {__LINE__, "ZERO.BMP", zeroWidth},
        {__LINE__, "HUGE.BMP", huge},
        {__LINE__, "OVER.BMP", overflow},
        {__LINE__, "SHORT.BMP", shortPixels},
        {__LINE__, "JPEG.BMP", jpeg},
        {__LINE__, "NONE.BMP", "-"},    // never written
        {__LINE__, "DIR.BMP", "/"},     // a folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        if (c.bytes == "/") {
            MakeFolder(Path(c.name));
        } else if (c.bytes != "-") {
            WriteFileBytes(Path(c.name), c.bytes);
        }
        // Paint the band where the message goes, so that drawing shows.
        HDC dc = GetDC(saver);
        RECT band = {0, 300, 640, 360};
        FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(saver, dc);

        Choose(Path(c.name));
        EXPECT_EQ(LoadDib(g.currentPath), 0u);
        EXPECT_EQ(g.dibBlock, nullptr);
        ShowBitmapTick(saver);
        EXPECT_STREQ(g.errorText, kEm004);
        ExpectNothingHeld(c.line);
        // Message text on the default opaque white background at y = W/2.
        int white = 0;
        for (int x = 0; x < 200; ++x) white += PixelAt(saver, x, 322) == RGB(255, 255, 255);
        EXPECT_GT(white, 20);
    }
}

TEST_F(BitmapTest, WordsFolderOfBrokenFilesGoesOnShowingEm004)
{
    Picture good = {16, 8, 24, {}, [](int, int) { return uint32_t(RGB(1, 2, 3)); }};
    std::string valid = File(good);
    std::string magic = valid;
    magic[1] = 'Q';
    std::string old = valid;
    Put32(old, 14, 12);
    std::string zero = valid;
    Put32(zero, 18, 0);
    std::string huge = valid;
    Put32(huge, 22, 0x7FFFFFFF);
    WriteFileBytes(Path("A.BMP"), valid.substr(0, 40));
    WriteFileBytes(Path("B.BMP"), magic);
    WriteFileBytes(Path("C.BMP"), old);
    WriteFileBytes(Path("D.BMP"), zero);
    WriteFileBytes(Path("E.BMP"), huge);
    MakeFolder(Path("X.BMP"));
    SetSettingText("FilePath", folder.c_str());
    Start(320, 240);
    std::vector<std::string> seen;
    for (int i = 0; i < 10; ++i) {
        Tick(saver, 1);
        std::string path = Narrow932(g.currentPath);
        SCOPED_TRACE(path);
        EXPECT_EQ(g.currentKind, 2u);
        EXPECT_STREQ(g.errorText, kEm004);
        ExpectNothingHeld(__LINE__);
        seen.push_back(path.substr(path.rfind('\\') + 1));
    }
    // Sorted order, round and round; the folder counts as an entry and
    // fails like the broken files.
    std::vector<std::string> expected = {"A.BMP", "B.BMP", "C.BMP", "D.BMP", "E.BMP",
                                         "X.BMP", "A.BMP", "B.BMP", "C.BMP", "D.BMP"};
    EXPECT_EQ(seen, expected);
}

TEST_F(BitmapTest, ItemLastsDisplayPlusSixtyTwoTicks)
{
    // Needs the real transition engine.
    for (uint32_t display : {0u, 5u}) {
        SCOPED_TRACE(display);
        SetSettingDword("Display", display);
        if (host) DestroyWindow(host), host = nullptr;
        PumpMessages();
        FreshSaverState();
        Start(320, 240);
        Picture p = {40, 20, 8, DistinctColours(4), [](int x, int) { return uint32_t(x % 4); }};
        WriteFileBytes(Path("PIC.BMP"), File(p));
        Choose(Path("PIC.BMP"));
        uint32_t last = display + 61;
        for (uint32_t tick = 0; tick < last; ++tick) {
            ShowBitmapTick(saver);
            ASSERT_EQ(g.itemBusy, 1u) << "tick " << tick;
            ASSERT_EQ(g.bitmapTicks, tick + 1);
            ASSERT_NE(g.SourceSurface.dc, nullptr);
            ASSERT_NE(g.dibBlock, nullptr);
            if (tick == 0) EXPECT_EQ(Source(140 + 1, 110), p.palette[1]);
        }
        ShowBitmapTick(saver);
        ExpectNothingHeld(__LINE__);
    }
}

TEST_F(BitmapTest, WholePictureIsOnTheWindowAtTheCompletionTick)
{
    // Needs the real transition engine: tick 30 copies the whole picture.
    Start(320, 240);
    auto colour = [](int x, int y) { return RGB(x * 6, y * 10, 128); };
    Picture p = {40, 20, 24, {}, [&](int x, int y) { return uint32_t(colour(x, y)); }};
    WriteFileBytes(Path("PIC.BMP"), File(p));
    Choose(Path("PIC.BMP"));
    for (int tick = 0; tick <= 30; ++tick) ShowBitmapTick(saver);
    ASSERT_EQ(g.itemBusy, 1u);
    for (int y : {0, 7, 19})
        for (int x : {0, 13, 39}) EXPECT_EQ(PixelAt(saver, 140 + x, 110 + y), colour(x, y)) << x << "," << y;
    EXPECT_EQ(PixelAt(saver, 139, 110), kBackground);
    EXPECT_EQ(PixelAt(saver, 5, 5), kBackground);
}

TEST_F(BitmapTest, ClosingTheWindowMidItemLetsGoOfTheBitmap)
{
    Start(320, 240);
    Picture p = {40, 20, 8, DistinctColours(256), [](int x, int) { return uint32_t(x); }};
    WriteFileBytes(Path("PIC.BMP"), File(p));
    Choose(Path("PIC.BMP"));
    for (int tick = 0; tick < 5; ++tick) ShowBitmapTick(saver);
    DestroyWindow(host);
    host = nullptr;
    saver = nullptr;
    PumpMessages();
    EXPECT_EQ(g.SourceSurface.dc, nullptr);
    EXPECT_EQ(g.dibBlock, nullptr);
    EXPECT_EQ(g.dibPalette, nullptr);
    EXPECT_EQ(g.dibIndexTable, nullptr);
}
