#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"
#include "saver/show/words.h"
#include "tests/wine/wine_test_util.h"

#include <string>

namespace {
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
    EXPECT_EQ(ReadWordsFile(nullptr, nullptr), 2);
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
}
