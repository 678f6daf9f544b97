#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/catalogue_win.h"
#include "saver/common/random.h"
#include "saver/sayings/text_layout.h"
#include "saver/sayings/sayings_win.h"
#include "saver/sayings/text_picture_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
// ＭＳ ゴシック and ＭＳ 明朝
const char kGothic[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const char kMincho[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";
// 猿も木から落ちる: 16 bytes
const char kMonkey[] = "\x89\x8E\x82\xE0\x96\xD8\x82\xA9\x82\xE7\x97\x8E\x82\xBF\x82\xE9";

const COLORREF kText = RGB(255, 255, 0);
const COLORREF kBack = RGB(0, 0, 128);

// A copy of what a surface shows, as 0x00RRGGBB words, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    COLORREF At(int x, int y) const
    {
        uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

Picture Capture(HDC source, int width, int height)
{
    Picture pic;
    pic.width = width;
    pic.height = height;
    pic.pixels.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    if (bits) std::memcpy(pic.pixels.data(), bits, pic.pixels.size() * 4);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return pic;
}

// FNV-1a over the pixels: any change of a pixel shows.
uint64_t Fingerprint(const Picture& pic)
{
    uint64_t h = 14695981039346656037ull;
    for (uint32_t p : pic.pixels)
        for (int i = 0; i < 4; ++i) h = (h ^ ((p >> (8 * i)) & 0xFF)) * 1099511628211ull;
    return h;
}

// The colours as the saver makes them of white on black: every pixel
// (text AND (colour XOR background)) XOR background.
void Colour(Picture* pic, COLORREF text, COLORREF back)
{
    auto word = [](COLORREF c) { return uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); };
    for (uint32_t& p : pic->pixels) p = (p & (word(text) ^ word(back))) ^ word(back);
}

struct Ink {
    int count = 0;
    RECT box = {1 << 30, 1 << 30, -1, -1};
};

// Pixels of one colour within the rows [top, bottom) and the columns
// [left, right).
Ink InkOf(const Picture& pic, COLORREF colour, int top = 0, int bottom = -1, int left = 0, int right = -1)
{
    Ink ink;
    if (bottom < 0 || bottom > pic.height) bottom = pic.height;
    if (right < 0 || right > pic.width) right = pic.width;
    for (int y = top < 0 ? 0 : top; y < bottom; ++y)
        for (int x = left < 0 ? 0 : left; x < right; ++x)
            if (pic.At(x, y) == colour) {
                ++ink.count;
                if (x < ink.box.left) ink.box.left = x;
                if (y < ink.box.top) ink.box.top = y;
                if (x + 1 > ink.box.right) ink.box.right = x + 1;
                if (y + 1 > ink.box.bottom) ink.box.bottom = y + 1;
            }
    return ink;
}

void SetBytes(char* field, size_t size, const char* value)
{
    std::memset(field, 0, size);
    std::strncpy(field, value, size - 1);
}

// How the ink of the text colour lies in a cell, as far as want asks (see
// its use).
std::string Look(const Picture& pic, const RECT& cell, const std::string& want)
{
    const RECT box = InkOf(pic, kText, cell.top, cell.bottom, cell.left, cell.right).box;
    std::string seen = want;
    if (want[0] != '-') seen[0] = box.right - box.left > box.bottom - box.top ? 'W' : 'T';
    if (want[1] != '-') seen[1] = box.left + box.right > cell.left + cell.right ? 'R' : 'L';
    if (want[2] != '-') seen[2] = box.top + box.bottom > cell.top + cell.bottom ? 'D' : 'U';
    return seen;
}

struct TextRenderWine : testing::Test {
    HWND host = nullptr;
    HWND saver = nullptr;
    std::string folder;
    const int W = 800, H = 600;

    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        SetSettingDword("Opening", 0);
        folder = MakeTempFolder("render");
        host = CreateHostWindow(W, H);
        saver = CreatePreviewSaver(host);
        ASSERT_NE(saver, nullptr);
        // Ticks come only from the test.
        KillTimer(saver, kShowTimerId);
        PumpMessages();
        ASSERT_EQ(g.clientRect.right, W);
        ASSERT_EQ(g.clientRect.bottom, H);
        g.settings.Opening = 0;
        g.settings.FontCount = 1;
        SetBytes(g.settings.Font[0], kFontSlotSize, kGothic);
        UseColours(kText, kBack);
    }
    void TearDown() override
    {
        ReleaseTextPicture();
        if (host) DestroyWindow(host);
        PumpMessages();
        DeleteSettingsKey();
        RemoveTree(folder);
    }
    void UseColours(COLORREF text, COLORREF back)
    {
        g.settings.Color[0] = text;
        g.settings.ColorCount = 1;
        g.settings.Back[0] = back;
        g.settings.BackCount = 1;
        if (g.BackgroundBrush) DeleteObject(g.BackgroundBrush);
        g.BackgroundBrush = CreateSolidBrush(back);
    }
    std::string Saying(const char* name, const std::string& bytes)
    {
        std::string path = folder + "\\" + name;
        WriteFileBytes(path, bytes);
        return path;
    }
    // The first tick's picture of the file at path, left in SourceSurface.
    Picture LayOut(const std::string& path, uint16_t mode = 0)
    {
        ReleaseTextPicture();
        Widen932(path, g.currentPath);
        HDC dc = GetDC(saver);
        LayOutTextItem(saver, mode, dc);
        ReleaseDC(saver, dc);
        EXPECT_NE(g.SourceSurface.dc, nullptr);
        if (g.SourceSurface.dc == nullptr) return Picture();
        return Capture(g.SourceSurface.dc, W, H);
    }
    // The picture as the whole-screen colouring made it: the white-on-black
    // layout (white on black colours to itself), then every pixel
    // (text AND (colour XOR background)) XOR background.
    Picture WholeScreenColouring(const std::string& path)
    {
        const COLORREF text = g.settings.Color[0], back = g.settings.Back[0];
        UseColours(RGB(255, 255, 255), RGB(0, 0, 0));
        Picture pic = LayOut(path);
        UseColours(text, back);
        Colour(&pic, text, back);
        return pic;
    }
    void UseFolder(const std::string& path)
    {
        Widen932(path, g.settings.FilePath);
        SetSettingText("FilePath", path.c_str());
        BuildCatalogue(saver);
    }
};
}

TEST_F(TextRenderWine, SayingIsCentredInTheTextColourOnTheBackground)
{
    Picture pic = LayOut(Saying("ONE.TXT", std::string(kMonkey) + "\r\n"));
    ASSERT_EQ(pic.width, W);
    const TextPlacement& p = LastTextPlacement();
    EXPECT_EQ(p.code, 0);
    EXPECT_EQ(p.lines, 1u);
    EXPECT_EQ(p.maxLen, 16u);
    EXPECT_EQ(p.mainWidth, 40);   // trunc(0.8 x 800) / 16
    EXPECT_EQ(p.subWidth, 26);    // 800 / 30 caps (40 / 3) x 2
    EXPECT_EQ(p.left, W / 2 - p.mainCx / 2);
    EXPECT_EQ(p.top, H / 2 - p.mainCy / 2);
    EXPECT_GT(p.mainCx, 16 * 40 / 2);   // eight full-width characters of about 2w
    EXPECT_LE(p.mainCx, W);

    for (POINT corner : {POINT{0, 0}, POINT{W - 1, 0}, POINT{0, H - 1}, POINT{W - 1, H - 1}})
        EXPECT_EQ(pic.At(corner.x, corner.y), kBack) << corner.x << "," << corner.y;
    Ink ink = InkOf(pic, kText);
    EXPECT_GT(ink.count, 2000);
    EXPECT_GE(ink.box.left, p.left - 2);
    EXPECT_LE(ink.box.right, p.left + p.mainCx + 2);
    EXPECT_GE(ink.box.top, p.top - 2);
    EXPECT_LE(ink.box.bottom, p.top + p.mainCy + 2);
    EXPECT_NEAR((ink.box.left + ink.box.right) / 2, W / 2, 40);

    // Only the picture is left of the item's first tick.
    EXPECT_EQ(g.textBuffer, nullptr);
    EXPECT_EQ(g.mainFont, nullptr);
    EXPECT_EQ(g.subFont, nullptr);
    EXPECT_STREQ(g.faceName, kGothic);
}

TEST_F(TextRenderWine, AttributionEndsFlushWithTheLongestLine)
{
    // 古池や / 蛙飛びこむ / 水の音 / @>松尾芭蕉
    Picture pic = LayOut(Saying("HAIKU.TXT", "\x8C\xC3\x92\x72\x82\xE2\r\n\x8A\x5E\x94\xF2\x82\xD1\x82\xB1\x82\xDE\r\n"
                                             "\x90\x85\x82\xCC\x89\xB9\r\n@>\x8F\xBC\x94\xF6\x89\xE4\x9E\x81\r\n"));
    ASSERT_EQ(pic.width, W);
    const TextPlacement& p = LastTextPlacement();
    EXPECT_EQ(p.lines, 4u);
    EXPECT_EQ(p.subLines, 1u);
    EXPECT_EQ(p.maxLen, 10u);
    EXPECT_EQ(p.mainWidth, 64);
    EXPECT_EQ(p.subWidth, 26);
    EXPECT_EQ(p.top, H / 2 - (3 * p.mainCy + p.subCy) / 2);
    ASSERT_LT(p.subCx, p.mainCx);

    const int subTop = p.top + 3 * p.mainCy;
    Ink attribution = InkOf(pic, kText, subTop, subTop + p.subCy);
    ASSERT_GT(attribution.count, 100);
    EXPECT_NEAR(attribution.box.right, p.left + p.mainCx, p.subWidth);
    EXPECT_NEAR(attribution.box.left, p.left + p.mainCx - p.subCx, p.subWidth);
    // The ordinary lines start at the block's left edge; the middle one is the longest.
    Ink middle = InkOf(pic, kText, p.top + p.mainCy, p.top + 2 * p.mainCy);
    EXPECT_NEAR(middle.box.left, p.left, p.mainWidth / 2);
    EXPECT_NEAR(middle.box.right, p.left + p.mainCx, p.mainWidth / 2);
    Ink first = InkOf(pic, kText, p.top, p.top + p.mainCy);
    EXPECT_NEAR(first.box.left, p.left, p.mainWidth / 2);
    EXPECT_LT(first.box.right, middle.box.right - p.mainWidth);
}

TEST_F(TextRenderWine, SubLinesAloneAreCentredOnTheWidest)
{
    // 猿も木から落ちる, full width; at 800 wide the sub font is 20 wide for
    // 20 bytes and 14 for 30, so every line fits when it is centred.
    const std::string twenty = std::string(kMonkey) + "\x82\xA0\x82\xA0";
    const std::string thirty = twenty + "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0";
    const struct {
        int line;
        std::string bytes;
    } rows[] = {
        {__LINE__, "@" + twenty},
        {__LINE__, "@>" + thirty},
        {__LINE__, "@" + thirty + "\r\n@>" + kMonkey + "\r\n"},
        {__LINE__, "@\x82\xA0\r\n\r\n@" + twenty + "\r\n@>\x82\xA0"},
    };
    for (const auto& r : rows) {
        Picture pic = LayOut(Saying("SUBS.TXT", r.bytes));
        ASSERT_EQ(pic.width, W) << "row at line " << r.line;
        const TextPlacement& p = LastTextPlacement();
        EXPECT_EQ(p.maxLen, 0u) << "row at line " << r.line;
        Ink ink = InkOf(pic, kText);
        ASSERT_GT(ink.count, 100) << "row at line " << r.line;
        EXPECT_GT(ink.box.left, p.subWidth) << "row at line " << r.line;
        EXPECT_LT(ink.box.right, W - p.subWidth) << "row at line " << r.line;
        EXPECT_NEAR((ink.box.left + ink.box.right) / 2, W / 2, p.subWidth) << "row at line " << r.line;
    }
}

TEST_F(TextRenderWine, UnreadableFileShowsTheReadErrorAsTheSaying)
{
    std::string sub = folder + "\\old.txt";
    Wide932 w;
    WideFrom932(&w, sub.c_str(), -1);
    CreateDirectoryW(w.text, nullptr);
    FreeWide932(&w);
    UseFolder(folder);
    ASSERT_EQ(g.catalogue.count, 1u);
    NextCatalogueItem(saver);

    Picture pic = LayOut(Narrow932(g.currentPath));
    ASSERT_EQ(pic.width, W);
    const TextPlacement& p = LastTextPlacement();
    EXPECT_EQ(p.code, 2);
    // Em002 ミルカナが読めません
    const char message[] = "Em002 \x83\x7E\x83\x8B\x83\x4A\x83\x69\x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
    EXPECT_STREQ(g.errorText, message);
    EXPECT_EQ(p.lines, 1u);
    EXPECT_EQ(p.maxLen, sizeof message - 1);
    EXPECT_EQ(p.left, W / 2 - p.mainCx / 2);
    Ink ink = InkOf(pic, kText);
    EXPECT_GT(ink.count, 500);
    EXPECT_NEAR((ink.box.top + ink.box.bottom) / 2, H / 2, p.mainCy / 2);
    EXPECT_EQ(g.textBuffer, nullptr);
    // A numbered message reads across even when sayings are set down.
    g.settings.Vertical = 1;
    EXPECT_TRUE(LayOut(Narrow932(g.currentPath)).pixels == pic.pixels);
}

TEST_F(TextRenderWine, EmptyCatalogueShowsItsMessageThroughTheCycle)
{
    UseFolder(folder);
    ASSERT_EQ(g.catalogue.count, 0u);
    Tick(saver, 1);
    EXPECT_STREQ(g.currentPath, L"EM998");
    EXPECT_EQ(LastTextPlacement().code, 998);
    // Em998 ミルカナファイルが見つかりません
    EXPECT_STREQ(g.errorText, "Em998 \x83\x7E\x83\x8B\x83\x4A\x83\x69\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8C\xA9"
                              "\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_EQ(LastTextPlacement().maxLen, std::strlen(g.errorText));
}

TEST_F(TextRenderWine, MalformedTextsAreDrawnWithoutHarm)
{
    std::mt19937 random(3);
    std::string binary(65536, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    std::string manyLines;
    for (int i = 0; i < 100000; ++i) manyLines += "a\r\n";
    const struct {
        int line;
        std::string bytes;
        uint32_t lines;
    } rows[] = {
        {__LINE__, std::string("ab\0\0cd\r\n\0", 9), 2},
        {__LINE__, std::string(1 << 20, 'x'), 1},
        {__LINE__, binary, 0xFFFFFFFFu},
        {__LINE__, "abc\r\n@", 2},
        {__LINE__, "@", 1},
        {__LINE__, "@>", 1},
        {__LINE__, "no line end at all", 1},
        {__LINE__, "@only\r\n@>sub lines\r\n", 2},
        {__LINE__, "\r\n\r\n\r\n", 3},
        {__LINE__, "", 0},
        {__LINE__, "\x82", 1},
        {__LINE__, manyLines, 100000},
        // The same through the Unicode path: any units, a line past the screen.
        {__LINE__, "\xFF\xFE" + binary, 0xFFFFFFFFu},
        {__LINE__, "\xEF\xBB\xBF" + std::string(1 << 16, 'x') + u8"𠮷\r\n\xF0\x9F\x91\x8D", 2},
        // Ordinary sayings, for the colouring against the whole-screen way.
        {__LINE__, std::string(kMonkey) + "\r\n@" + kMonkey + "\r\n@>" + kMonkey + "\r\n", 3},
    };
    for (const auto& r : rows) {
        Picture old = WholeScreenColouring(Saying("BAD.TXT", r.bytes));
        Picture pic = LayOut(Saying("BAD.TXT", r.bytes));
        EXPECT_TRUE(pic.pixels == old.pixels) << "row at line " << r.line;
        ASSERT_EQ(pic.width, W) << "row at line " << r.line;
        const TextPlacement& p = LastTextPlacement();
        EXPECT_EQ(p.code, 0) << "row at line " << r.line;
        if (r.lines != 0xFFFFFFFFu) EXPECT_EQ(p.lines, r.lines) << "row at line " << r.line;
        EXPECT_GT(p.mainWidth, 0) << "row at line " << r.line;
        EXPECT_EQ(pic.At(W - 1, H - 1), kBack) << "row at line " << r.line;
        EXPECT_EQ(g.textBuffer, nullptr) << "row at line " << r.line;
    }
    g.settings.Vertical = 1;   // and set down the screen
    for (const auto& r : rows) {
        Picture old = WholeScreenColouring(Saying("BAD.TXT", r.bytes));
        EXPECT_TRUE(LayOut(Saying("BAD.TXT", r.bytes)).pixels == old.pixels) << "row at line " << r.line;
        EXPECT_EQ(g.textBuffer, nullptr) << "row at line " << r.line;
    }
    g.settings.Vertical = 0;
    // A black background and opposite colours, where a colour pass changes nothing.
    for (const auto& pair : {std::make_pair(kText, RGB(0, 0, 0)), std::make_pair(RGB(255, 255, 0), RGB(0, 0, 255))}) {
        UseColours(pair.first, pair.second);
        const std::string saying = std::string(kMonkey) + "\r\n@>" + kMonkey;
        EXPECT_TRUE(LayOut(Saying("PAIR.TXT", saying)).pixels == WholeScreenColouring(Saying("PAIR.TXT", saying)).pixels);
    }
    UseColours(kText, kBack);
    // The megabyte line: the legible fallback size, from the left edge.
    Picture pic = LayOut(Saying("LONG.TXT", std::string(1 << 20, 'x')));
    EXPECT_EQ(LastTextPlacement().mainWidth, kFallbackCharWidth);
    EXPECT_EQ(LastTextPlacement().left, 0);
    EXPECT_GT(InkOf(pic, kText).count, 0);
}

TEST_F(TextRenderWine, EmptySubLineStillTakesALineOfTheSubFont)
{
    // The same longest line gives the same fonts, so the sub line height of
    // a sub line with text is the one an empty sub line must get.
    LayOut(Saying("FULL.TXT", "abcd\r\n@xy"));
    const int subHeight = LastTextPlacement().subCy;
    ASSERT_GT(subHeight, 0);
    const struct {
        int line;
        std::string bytes;
    } rows[] = {
        {__LINE__, "abcd\r\n@"},
        {__LINE__, "abcd\r\n@>"},
        {__LINE__, "abcd\r\n@>\r\n"},
        {__LINE__, "abcd\r\n@xy\r\n@"},
    };
    for (const auto& r : rows) {
        LayOut(Saying("EMPTY.TXT", r.bytes));
        const TextPlacement& p = LastTextPlacement();
        EXPECT_EQ(p.subCx, 0) << "row at line " << r.line;
        EXPECT_EQ(p.subCy, subHeight) << "row at line " << r.line;
        const int total = static_cast<int>(p.lines - p.subLines) * p.mainCy + static_cast<int>(p.subLines) * p.subCy;
        EXPECT_EQ(p.top, H / 2 - total / 2) << "row at line " << r.line;
    }
}

TEST_F(TextRenderWine, CallersTextIsDrawnAndFreed)
{
    const struct {
        int line;
        std::string bytes;
        uint32_t claimed;
    } rows[] = {
        {__LINE__, std::string(kMonkey) + "\r\n@>x", 20},
        {__LINE__, "abc", 100000},   // a length beyond its block
        {__LINE__, "", 0},
    };
    for (const auto& r : rows) {
        g.textBuffer = GlobalAlloc(GMEM_MOVEABLE, r.bytes.size() + 1);
        ASSERT_NE(g.textBuffer, nullptr);
        std::memcpy(GlobalLock(g.textBuffer), r.bytes.c_str(), r.bytes.size() + 1);
        GlobalUnlock(g.textBuffer);
        g.textLength = r.claimed;
        Picture pic = LayOut("not read in this mode", 1);
        EXPECT_EQ(LastTextPlacement().code, 0) << "row at line " << r.line;
        EXPECT_EQ(g.textBuffer, nullptr) << "row at line " << r.line;
        EXPECT_LE(LastTextPlacement().maxLen, r.bytes.size() + 1) << "row at line " << r.line;
        EXPECT_EQ(pic.At(0, 0), kBack) << "row at line " << r.line;
    }
    EXPECT_EQ(LastTextPlacement().maxLen, 0u);
}

TEST_F(TextRenderWine, FaceIsDrawnBeforeTheTextColour)
{
    g.settings.FontCount = 2;
    SetBytes(g.settings.Font[1], kFontSlotSize, kMincho);
    g.settings.ColorCount = 2;
    g.settings.Color[1] = RGB(0, 255, 0);
    // A seed whose face and colour draws differ, so that a swapped order shows.
    uint32_t seed = 1;
    uint16_t face = 0, colour = 0;
    for (;; ++seed) {
        SeedRandom(seed);
        RandomIndex(1);   // the item's background
        face = RandomIndex(2);
        colour = RandomIndex(2);
        if (face != colour) break;
    }
    SeedRandom(seed);
    RandomIndex(1);
    Picture pic = LayOut(Saying("ONE.TXT", kMonkey));
    EXPECT_STREQ(g.faceName, g.settings.Font[face]);
    EXPECT_GT(InkOf(pic, g.settings.Color[colour]).count, 500);
    EXPECT_EQ(InkOf(pic, g.settings.Color[1 - colour]).count, 0);
}

TEST_F(TextRenderWine, NoFontsAtAllStillPicksSlotZero)
{
    g.settings.FontCount = 0;
    SetBytes(g.settings.Font[0], kFontSlotSize, kMincho);
    Picture pic = LayOut(Saying("ONE.TXT", kMonkey));
    EXPECT_STREQ(g.faceName, kMincho);
    EXPECT_GT(InkOf(pic, kText).count, 500);
    g.settings.FontCount = 1000;   // beyond the table
    for (int i = 0; i < 20; ++i) {
        PickFont(saver);
        EXPECT_LT(std::strlen(g.faceName), static_cast<size_t>(kFontSlotSize));
    }
}

// Needs the transition engine's real timeline (a placeholder that ends the
// item on its first call fails here).
TEST_F(TextRenderWine, EngineRevealsHoldsAndEndsTheSaying)
{
    Saying("ONE.TXT", std::string(kMonkey) + "\r\n");
    UseFolder(folder);
    ASSERT_EQ(g.catalogue.count, 1u);
    const uint32_t display = 20;
    g.settings.Display = display;
    g.settings.FadeCount = 1;
    g.settings.EnabledTransitions[0] = 0;

    Tick(saver, 1);
    EXPECT_EQ(g.itemBusy, 1u);
    EXPECT_EQ(g.textTicks, 1u);
    Tick(saver, 30);   // the whole picture stands from tick 30 on
    EXPECT_EQ(g.textTicks, 31u);
    HDC dc = GetDC(saver);
    Picture screen = Capture(dc, W, H);
    ReleaseDC(saver, dc);
    const TextPlacement& p = LastTextPlacement();
    EXPECT_EQ(screen.At(0, 0), kBack);
    EXPECT_EQ(screen.At(W - 1, H - 1), kBack);
    Ink ink = InkOf(screen, kText);
    EXPECT_GT(ink.count, 2000);
    EXPECT_GE(ink.box.left, p.left - 2);
    EXPECT_LE(ink.box.right, p.left + p.mainCx + 2);

    Tick(saver, static_cast<int>(display) + 62 - 31);
    EXPECT_EQ(g.itemBusy, 0u);
    EXPECT_EQ(g.textTicks, 0u);
    EXPECT_EQ(g.SourceSurface.dc, nullptr);
    EXPECT_EQ(g.SourceSurface.bitmap, nullptr);
}

// 「急がば回れ」。 / ゆっくり行く人ほど、 / ゴールに早く着く。 / @>ことわざ: 16, 20 and 18 bytes.
const char kProverb[] = "\x81\x75\x8B\x7D\x82\xAA\x82\xCE\x89\xF1\x82\xEA\x81\x76\x81\x42\r\n"
                        "\x82\xE4\x82\xC1\x82\xAD\x82\xE8\x8D\x73\x82\xAD\x90\x6C\x82\xD9\x82\xC7\x81\x41\r\n"
                        "\x83\x53\x81\x5B\x83\x8B\x82\xC9\x91\x81\x82\xAD\x92\x85\x82\xAD\x81\x42\r\n"
                        "@>\x82\xB1\x82\xC6\x82\xED\x82\xB4\r\n";

TEST_F(TextRenderWine, SettingOffDrawsAsBeforeAndOnSetsColumnsInVerticalForms)
{
    // Across, the fingerprints are those of the pictures drawn before
    // sayings could be set down (IPAGothic standing in for ＭＳ ゴシック).
    const std::string path = Saying("TATE.TXT", kProverb);
    const Picture across = LayOut(path);
    const TextPlacement p = LastTextPlacement();
    EXPECT_EQ(Fingerprint(across), 0xa4f3dd5b91340a55ull);
    const std::string mixed = std::string(kMonkey) + "\r\n@" + kMonkey + "\r\n\r\nKelmora 1.51\r\n@>" + kMonkey;
    EXPECT_EQ(Fingerprint(LayOut(Saying("MIXED.TXT", mixed))), 0xee15bb83277ea427ull);

    g.settings.Vertical = 1;
    Picture pic = LayOut(path);
    ASSERT_EQ(pic.width, W);
    EXPECT_TRUE(pic.pixels == WholeScreenColouring(path).pixels);   // the colouring reaches every column
    const ColumnBlock b = LastColumnBlock();
    EXPECT_EQ(b.mainWidth, 24);   // trunc(0.8 x 600) / 20
    // Right to left, each as long as its bytes within a cell (、。 sit high
    // in theirs, 「 low); the attribution in the sub font ends with the longest.
    const int cell = b.mainThickness, sub = b.subThickness, top = b.top, end = b.top + b.mainLength;
    const struct {
        int thickness, top, bottom, slack;
    } columns[] = {{cell, top, top + 16 * b.mainLength / 20, cell},
                   {cell, top, end, cell},
                   {cell, top, top + 18 * b.mainLength / 20, cell},
                   {sub, end - 4 * sub, end, sub}};
    int right = b.right;
    for (const auto& c : columns) {
        Ink ink = InkOf(pic, kText, 0, H, right - c.thickness, right);
        EXPECT_NEAR(ink.box.top, c.top, c.slack) << "column from " << right;
        EXPECT_NEAR(ink.box.bottom, c.bottom, c.slack) << "column from " << right;
        right -= c.thickness;
    }
    // No ink elsewhere; the block is centred.
    Ink all = InkOf(pic, kText);
    EXPECT_GE(all.box.left, right);
    EXPECT_LE(all.box.right, b.right);
    EXPECT_NEAR(right + b.right, W, 2);
    EXPECT_NEAR(top + end, H, 2);

    // The marks in their own cells, across and down: W wider than tall or T
    // taller, the middle in the L left or R right half, U upper or D lower
    // half, - either. The font's vertical forms turn some and move others,
    // where a turned face would lay the kana on their sides too.
    const struct {
        int line, at;
        const char *across, *down;
    } marks[] = {
        {0, 0, "T--", "W--"},   // 「 turned
        {0, 7, "-LD", "-RU"},   // 。 to the upper right
        {1, 1, "--D", "-R-"},   // small っ to the right
        {2, 1, "W--", "T--"},   // ー turned
    };
    const int step = p.mainCx / 10, along = b.mainLength / 10;
    for (const auto& m : marks) {
        const int x = p.left + m.at * step, y = p.top + m.line * p.mainCy, r = b.right - m.line * cell;
        EXPECT_EQ(Look(across, {x, y, x + step, y + p.mainCy}, m.across), m.across) << m.line << "," << m.at;
        EXPECT_EQ(Look(pic, {r - cell, top + m.at * along, r, top + (m.at + 1) * along}, m.down), m.down)
            << m.line << "," << m.at;
    }

    // A UTF-8 saying too: its columns right to left, each cell of the first
    // inked as a glyph inks it (the beyond-plane kanji and the Hangul too,
    // where a stand-in's dot or a gap would leave next to nothing; the stop,
    // small in its corner, is the face's and left aside).
    pic = LayOut(Saying("TATE8.TXT", Encode(u8"「𠮷田」안녕。\r\n田中", Utf8Marked)));
    const ColumnBlock u = LastColumnBlock();
    EXPECT_EQ(LastTextPlacement().maxLen, 14u);
    for (int i = 0; i < 6; ++i) {
        const RECT c = {u.right - u.mainThickness, u.top + i * u.mainLength / 7, u.right,
                        u.top + (i + 1) * u.mainLength / 7};
        const int area = (c.right - c.left) * (c.bottom - c.top);
        EXPECT_GE(area - InkOf(pic, kBack, c.top, c.bottom, c.left, c.right).count, area / 25) << "cell " << i;
    }
    const Ink second = InkOf(pic, kText, 0, H, 0, u.right - u.mainThickness);
    EXPECT_GE(second.box.left, u.right - 2 * u.mainThickness);
    EXPECT_NEAR(second.box.bottom, u.top + 2 * u.mainLength / 7, u.mainThickness / 2);
}

TEST_F(TextRenderWine, ShiftJisSayingsAreGdisOwnPictureOfTheirBytes)
{
    // 猿も木から落ちる / ｱｲｳ / @>猿も木から落ちる, from a file and from a plug-in.
    const std::string bytes = std::string(kMonkey) + "\r\n\xB1\xB2\xB3\r\n@>" + kMonkey;
    Picture file = LayOut(Saying("SJIS.TXT", bytes));
    const TextPlacement p = LastTextPlacement();
    g.textBuffer = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(g.textBuffer), bytes.data(), bytes.size());
    GlobalUnlock(g.textBuffer);
    g.textLength = static_cast<uint32_t>(bytes.size());
    g.textUtf16 = 1;   // a plug-in's text is Shift-JIS whatever this says
    Picture plugin = LayOut("not read in this mode", 1);

    // The same bytes handed to GDI in the same fonts where the layout put them.
    HDC screen = GetDC(saver);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, W, H);
    ReleaseDC(saver, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, W, H};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const FontRequest m = MainFontRequest(p.mainWidth), sub = SubFontRequest(p.subWidth);
    HFONT mainFont = CreateFont932(m.height, m.width, m.weight, m.charSet, m.pitchAndFamily, kGothic);
    HFONT subFont = CreateFont932(sub.height, sub.width, sub.weight, sub.charSet, sub.pitchAndFamily, kGothic);
    HGDIOBJ oldFont = SelectObject(dc, mainFont);
    TextOut932(dc, p.left, p.top, kMonkey, 16);
    TextOut932(dc, p.left, p.top + p.mainCy, "\xB1\xB2\xB3", 3);
    SelectObject(dc, subFont);
    TextOut932(dc, p.left + p.mainCx - p.subCx, p.top + 2 * p.mainCy, kMonkey, 16);
    SelectObject(dc, oldFont);
    Picture gdi = Capture(dc, W, H);
    Colour(&gdi, kText, kBack);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteObject(mainFont);
    DeleteObject(subFont);

    EXPECT_GT(InkOf(gdi, kText).count, 2000);
    EXPECT_TRUE(file.pixels == gdi.pixels);
    EXPECT_TRUE(plugin.pixels == gdi.pixels);
    EXPECT_EQ(g.textUtf16, 0);
}

TEST_F(TextRenderWine, EveryKindOfCharacterLeavesInkWhereItStands)
{
    const struct {
        int line;
        std::string utf8;
        Form form;
        std::vector<int> widths;   // of each character the reader sees
        int standIn;               // the one that must show as "・", or -1
    } rows[] = {
        // Lines of four columns or more, so that the characters fit the picture.
        {__LINE__, u8"Abcd", Utf8Marked, {1, 1, 1, 1}, -1},
        {__LINE__, u8"ｱｲｳｴ", Utf8Marked, {1, 1, 1, 1}, -1},
        {__LINE__, u8"田中", Utf8Marked, {2, 2}, -1},
        {__LINE__, u8"𠮷田", Utf16Le, {2, 2}, -1},
        {__LINE__, u8"㋿令和", Utf16Be, {2, 2, 2}, -1},
        {__LINE__, u8"안녕하세요", Utf8Marked, {2, 2, 2, 2, 2}, -1},
        {__LINE__, u8"🌸👍🏽", Utf8Marked, {2, 2}, -1},
        {__LINE__, u8"👨‍👩‍👧田", Utf8Marked, {2, 2}, -1},
        // A face may give the mark a width of its own: the letters after it
        // are looked at as one.
        {__LINE__, u8"e\u0301abcdefgh", Utf8Marked, {1, 8}, -1},
        {__LINE__, u8"田\xE3\x81田", Utf8Marked, {2, 2, 2}, 1},   // broken after the mark
    };
    for (const auto& r : rows) {
        Picture pic = LayOut(Saying("KIND.TXT", Encode(r.utf8, r.form)));
        ASSERT_EQ(pic.width, W) << "row at line " << r.line;
        const TextPlacement& p = LastTextPlacement();
        int total = 0;
        for (int w : r.widths) total += w;
        EXPECT_EQ(p.maxLen, static_cast<uint32_t>(total)) << "row at line " << r.line;
        EXPECT_EQ(p.left, BlockLeft(W, p.mainCx)) << "row at line " << r.line;
        // Each character's share of the line: a glyph inks a good part of
        // it, the stand-in's dot far less, an empty gap nothing.
        for (size_t i = 0, before = 0; i < r.widths.size(); before += r.widths[i++]) {
            const int left = p.left + p.mainCx * static_cast<int>(before) / total;
            const int right = p.left + p.mainCx * static_cast<int>(before + r.widths[i]) / total;
            int ink = 0;
            for (int y = p.top; y < p.top + p.mainCy && y < H; ++y)
                for (int x = left; x < right && x < W; ++x) ink += pic.At(x, y) != kBack;
            const int area = (right - left) * p.mainCy;
            if (static_cast<int>(i) == r.standIn) {
                EXPECT_GT(ink, 0) << "row at line " << r.line << ", character " << i;
                EXPECT_LT(ink, area / 25) << "row at line " << r.line << ", character " << i;
            } else {
                EXPECT_GE(ink, area / 25) << "row at line " << r.line << ", character " << i;
            }
        }
    }
}
