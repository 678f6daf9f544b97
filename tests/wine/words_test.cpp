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

// A UTF-8 text in the forms an editor may save it in.
enum Form { Utf8Bare, Utf8Marked, Utf16Le, Utf16Be };
std::string Encode(const std::string& utf8, Form form)
{
    if (form == Utf8Bare) return utf8;
    if (form == Utf8Marked) return "\xEF\xBB\xBF" + utf8;
    std::wstring wide(utf8.size(), L'\0');
    int n = utf8.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                                   static_cast<int>(wide.size()));
    std::string bytes = form == Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
    for (int i = 0; i < n; ++i) {
        char low = static_cast<char>(wide[i] & 0xFF), high = static_cast<char>(wide[i] >> 8);
        bytes += form == Utf16Le ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
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

    // A Unicode file is bound by the size of its Shift-JIS text, not its own.
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

TEST_F(WordsWine, UnicodeFilesAreReadAsTheShiftJisOfTheSameSaying)
{
    const struct {
        int line;
        std::string utf8;
        std::string shiftJis;
    } rows[] = {
        {__LINE__, u8"猿も木から落ちる\r\n@>ｺﾄﾜｻﾞ\r\n",
         "\x89\x8E\x82\xE0\x96\xD8\x82\xA9\x82\xE7\x97\x8E\x82\xBF\x82\xE9\r\n@>\xBA\xC4\xDC\xBB\xDE\r\n"},
        // No Shift-JIS form: one stand-in each, whatever the system's best fit.
        {__LINE__, u8"café \U0001F600 Ω", "caf\x81\x45 \x81\x45 \x83\xB6"},
        // Marks typed with their JIS code points.
        {__LINE__, u8"\u301C\u2212\u2016\u2014", "\x81\x60\x81\x7C\x81\x61\x81\x5C"},
        {__LINE__, "", ""},
    };
    for (const auto& r : rows) {
        for (Form form : {Utf8Bare, Utf8Marked, Utf16Le, Utf16Be}) {
            WriteFileBytes(folder + "\\U.TXT", Encode(r.utf8, form));
            uint16_t code = 99;
            std::string text = Read(&code, folder + "\\U.TXT");
            EXPECT_EQ(code, 0) << "row at line " << r.line << ", form " << form;
            EXPECT_EQ(text, r.shiftJis + std::string(1, '\0')) << "row at line " << r.line << ", form " << form;
            EXPECT_EQ(g.textLength, r.shiftJis.size()) << "row at line " << r.line << ", form " << form;
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
    EXPECT_EQ(LastTextPlacement().maxLen, 10u);
    EXPECT_GT(std::count(shiftJis.begin(), shiftJis.end(), shiftJis[0]), W * H / 2);
    EXPECT_LT(std::count(shiftJis.begin(), shiftJis.end(), shiftJis[0]), W * H - 1000);
    for (Form form : {Utf8Bare, Utf8Marked, Utf16Le, Utf16Be})
        EXPECT_TRUE(picture(Encode(u8"古池や\r\n蛙飛びこむ\r\n水の音\r\n@>芭蕉", form)) == shiftJis) << "form " << form;
    DestroyWindow(host);
    PumpMessages();
}
