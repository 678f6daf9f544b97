#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"
#include "saver/sayings/words.h"
#include "tests/wine/wine_test_util.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
// The tests name their files in Shift-JIS.
uint16_t ReadWordsFile(HWND window, const char* path)
{
    wchar_t wide[kItemPathChars];
    Widen932(path, wide);
    return ReadWordsFile(window, wide);
}

struct WordsWine : testing::Test {
    std::string folder;
    void SetUp() override
    {
        FreshSaverState();
        folder = MakeTempFolder("words");
    }
    void TearDown() override
    {
        if (g.textBuffer) GlobalFree(g.textBuffer);
        g.textBuffer = nullptr;
        RemoveTree(folder);
    }
    // The text read, as bytes, with the one zero byte after it.
    std::string Read(uint16_t* code, const std::string& path)
    {
        *code = ReadWordsFile(nullptr, path.c_str());
        if (*code != 0 || g.textBuffer == nullptr) return std::string();
        const char* bytes = static_cast<const char*>(GlobalLock(g.textBuffer));
        std::string text(bytes, g.textLength + 1);
        GlobalUnlock(g.textBuffer);
        return text;
    }
};
}

TEST_F(WordsWine, FilesAreReadWholeWithATerminatingZero)
{
    const struct {
        int line;
        std::string bytes;
    } rows[] = {
        {__LINE__, "\x8D\x60\x82\xE0\x96\xD8\x82\xA9\x82\xE7\x97\x8E\x82\xBF\x82\xE9\r\n@>x\r\n"},
        {__LINE__, ""},
        {__LINE__, "x"},
        {__LINE__, std::string("a\0b\0\0c", 6)},
        {__LINE__, std::string(70000, 'y')},
    };
    for (const auto& r : rows) {
        WriteFileBytes(folder + "\\T.TXT", r.bytes);
        uint16_t code = 99;
        std::string text = Read(&code, folder + "\\T.TXT");
        EXPECT_EQ(code, 0) << "row at line " << r.line;
        EXPECT_EQ(g.textLength, r.bytes.size()) << "row at line " << r.line;
        EXPECT_EQ(text, r.bytes + std::string(1, '\0')) << "row at line " << r.line;
        EXPECT_EQ(GlobalFlags(g.textBuffer) & GMEM_LOCKCOUNT, 0u) << "row at line " << r.line;
        EXPECT_EQ(g.textUtf16, 0) << "row at line " << r.line;
    }
}

TEST_F(WordsWine, FailuresGiveTheirCodeAndNoBlock)
{
    WriteFileBytes(folder + "\\OK.TXT", "ok");
    uint16_t code = 0;
    Read(&code, folder + "\\OK.TXT");
    ASSERT_EQ(code, 0);

    // Each failure also lets go of a block still held from before.
    std::string sub = folder + "\\old.txt";
    Wide932 w;
    WideFrom932(&w, sub.c_str(), -1);
    CreateDirectoryW(w.text, nullptr);
    FreeWide932(&w);

    const struct {
        int line;
        std::string path;
        uint16_t code;
    } rows[] = {
        {__LINE__, "EM998", 998},
        {__LINE__, "em998", 2},   // not the sentinel: opened as a path, and missing
        {__LINE__, folder + "\\MISSING.TXT", 2},
        {__LINE__, sub, 2},
        {__LINE__, folder + "\\NO\\SUCH.TXT", 2},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ReadWordsFile(nullptr, r.path.c_str()), r.code) << "row at line " << r.line;
        EXPECT_EQ(g.textBuffer, nullptr) << "row at line " << r.line;
    }
    EXPECT_EQ(ReadWordsFile(nullptr, static_cast<const wchar_t*>(nullptr)), 2);
}

TEST_F(WordsWine, FileLockedAgainstReadingCannotBeRead)
{
    std::string path = folder + "\\LOCKED.TXT";
    WriteFileBytes(path, "locked");
    HANDLE owner = CreateFile932(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0);
    ASSERT_NE(owner, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 2);
    CloseHandle(owner);
    // Others reading at the same time are fine.
    HANDLE reader = CreateFile932(path.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 0);
    CloseHandle(reader);
}

TEST_F(WordsWine, OversizedFileIsRefusedAsNoMemory)
{
    std::string path = folder + "\\HUGE.TXT";
    WriteFileBytes(path, std::string(kMaxWordsFileBytes + 1, 'h'));
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 1);
    EXPECT_EQ(g.textBuffer, nullptr);
    WriteFileBytes(path, std::string(kMaxWordsFileBytes, 'h'));
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 0);
    EXPECT_EQ(g.textLength, static_cast<uint32_t>(kMaxWordsFileBytes));

    // A Unicode file is bound by the UTF-16 units of its text, not its size.
    std::string wide = "\xFF\xFE";
    for (int i = 0; i <= kMaxWordsFileBytes; ++i) wide += std::string("h\0", 2);
    WriteFileBytes(path, wide);
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 1);
    EXPECT_EQ(g.textBuffer, nullptr);
    std::string kana = "\xEF\xBB\xBF";
    for (int i = 0; i < kMaxWordsFileBytes / 3; ++i) kana += "\xEF\xBD\xB1";   // ｱ, one byte in Shift-JIS
    WriteFileBytes(path, kana);
    EXPECT_EQ(ReadWordsFile(nullptr, path.c_str()), 0);
    EXPECT_EQ(g.textLength, static_cast<uint32_t>(kMaxWordsFileBytes / 3));
}

TEST_F(WordsWine, UnicodeFilesAreReadAsTheirUtf16Text)
{
    const struct {
        int line;
        std::string utf8;
        std::u16string units;
    } rows[] = {
        {__LINE__, u8"猿も木から落ちる\r\n@>ｺﾄﾜｻﾞ\r\n", u"猿も木から落ちる\r\n@>ｺﾄﾜｻﾞ\r\n"},
        // Beyond Shift-JIS and beyond the basic plane: kept as written.
        {__LINE__, u8"café \U0001F600 Ω 𠮷田 ㋿ 안녕", u"café \U0001F600 Ω 𠮷田 ㋿ 안녕"},
        // Marks typed with their JIS code points come out in Windows' code.
        {__LINE__, u8"\u301C\u2212\u2016\u2014", u"\uFF5E\uFF0D\u2225\u2015"},
        {__LINE__, "", u""},
    };
    for (const auto& r : rows) {
        for (Form form : {Utf8Bare, Utf8Marked, Utf16Le, Utf16Be}) {
            WriteFileBytes(folder + "\\U.TXT", Encode(r.utf8, form));
            uint16_t code = 99;
            Read(&code, folder + "\\U.TXT");
            ASSERT_EQ(code, 0) << "row at line " << r.line << ", form " << form;
            // An empty file without a mark is no more Unicode than Shift-JIS.
            EXPECT_EQ(g.textUtf16, r.utf8.empty() && form == Utf8Bare ? 0 : 1) << "row at line " << r.line << ", form " << form;
            if (g.textUtf16 == 0) continue;
            ASSERT_EQ(g.textLength, r.units.size()) << "row at line " << r.line << ", form " << form;
            // The units, and the zero unit after them.
            const char16_t* units = static_cast<const char16_t*>(GlobalLock(g.textBuffer));
            EXPECT_EQ(std::u16string(units, g.textLength + 1), r.units + u'\0') << "row at line " << r.line << ", form " << form;
            GlobalUnlock(g.textBuffer);
        }
    }
}

TEST_F(WordsWine, SayingLaysOutTheSameFromEveryEncoding)
{
    const int W = 640, H = 480;
    DeleteSettingsKey();
    HWND host = CreateHostWindow(W, H);
    HWND saver = CreatePreviewSaver(host);
    ASSERT_NE(saver, nullptr);
    g.settings.FontCount = 1;
    std::strcpy(g.settings.Font[0], "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");   // ＭＳ ゴシック
    g.settings.ColorCount = 1;   // no random colour between the pictures
    if (g.BackgroundBrush) DeleteObject(g.BackgroundBrush);
    g.BackgroundBrush = CreateSolidBrush(RGB(0, 0, 128));
    // The first tick's picture of the saying in the file.
    auto picture = [&](const std::string& bytes) {
        WriteFileBytes(folder + "\\SAYING.TXT", bytes);
        Widen932(folder + "\\SAYING.TXT", g.currentPath);
        HDC screen = GetDC(saver);
        LayOutTextItem(saver, 0, screen);
        ReleaseDC(saver, screen);
        BITMAPINFOHEADER header = {sizeof header, W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint32_t> pixels(static_cast<size_t>(W) * H);
        SelectObject(g.SourceSurface.dc, g.SourceSurface.oldBitmap);
        GetDIBits(g.SourceSurface.dc, g.SourceSurface.bitmap, 0, H, pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        SelectObject(g.SourceSurface.dc, g.SourceSurface.bitmap);
        ReleaseTextPicture();
        return pixels;
    };
    // 古池や / 蛙飛びこむ / 水の音 / @>芭蕉
    const std::vector<uint32_t> shiftJis =
        picture("\x8C\xC3\x92\x72\x82\xE2\r\n\x8A\x5E\x94\xF2\x82\xD1\x82\xB1\x82\xDE\r\n\x90\x85\x82\xCC\x89\xB9\r\n"
                "@>\x94\x6D\x8F\xD4");
    const TextPlacement expected = LastTextPlacement();
    EXPECT_EQ(expected.maxLen, 10u);
    EXPECT_GT(std::count(shiftJis.begin(), shiftJis.end(), shiftJis[0]), W * H / 2);
    EXPECT_LT(std::count(shiftJis.begin(), shiftJis.end(), shiftJis[0]), W * H - 1000);
    // The ink of each line: left, top, right, bottom.
    auto inkOfLines = [&](const std::vector<uint32_t>& pixels, const TextPlacement& p) {
        std::vector<int> sides;
        for (uint32_t i = 0; i < p.lines; ++i) {
            const bool sub = i >= p.lines - p.subLines;
            const int top = p.top + static_cast<int>(std::min(i, p.lines - p.subLines)) * p.mainCy +
                            static_cast<int>(i - std::min(i, p.lines - p.subLines)) * p.subCy;
            int box[4] = {W, H, -1, -1};
            for (int y = top; y < top + (sub ? p.subCy : p.mainCy) && y < H; ++y)
                for (int x = 0; x < W; ++x)
                    if (pixels[static_cast<size_t>(y) * W + x] != pixels[0])
                        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y), box[2] = std::max(box[2], x),
                        box[3] = std::max(box[3], y);
            sides.insert(sides.end(), box, box + 4);
        }
        return sides;
    };
    const std::vector<int> expectedInk = inkOfLines(shiftJis, expected);
    // The same saying from a Unicode file is drawn by another engine: it
    // lands where the Shift-JIS one does, within a pixel or two.
    for (Form form : {Utf8Bare, Utf8Marked, Utf16Le, Utf16Be}) {
        const std::vector<uint32_t> pixels = picture(Encode(u8"古池や\r\n蛙飛びこむ\r\n水の音\r\n@>芭蕉", form));
        const TextPlacement& p = LastTextPlacement();
        EXPECT_EQ(std::vector<int>({p.mainWidth, p.subWidth, p.top, p.mainCy, p.subCy, int(p.lines), int(p.maxLen)}),
                  std::vector<int>({expected.mainWidth, expected.subWidth, expected.top, expected.mainCy,
                                    expected.subCy, int(expected.lines), int(expected.maxLen)}))
            << "form " << form;
        EXPECT_NEAR(p.left, expected.left, 1) << "form " << form;
        EXPECT_NEAR(p.mainCx, expected.mainCx, 2) << "form " << form;
        EXPECT_NEAR(p.subCx, expected.subCx, 2) << "form " << form;
        const std::vector<int> ink = inkOfLines(pixels, p);
        for (size_t i = 0; i < ink.size(); ++i)
            EXPECT_NEAR(ink[i], expectedInk[i], 2) << "form " << form << ", line " << i / 4 << ", side " << i % 4;
    }
    DestroyWindow(host);
    PumpMessages();
}
