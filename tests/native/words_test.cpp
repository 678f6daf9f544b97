#include <gtest/gtest.h>

#include "saver/sayings/words.h"

#include <random>
#include <string>
#include <vector>

namespace {
// The text in a heap block of exactly its length: files and plug-in blocks
// carry no terminator the rules may lean on, and the address sanitizer sees
// a read one byte past the end.
std::vector<char> Exact(const std::string& text) { return std::vector<char>(text.begin(), text.end()); }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    uint32_t cursor = 0;
    TextLine line;
    const uint32_t length = static_cast<uint32_t>(text.size());
    const std::vector<char> exact = Exact(text);
    while (NextTextLine(exact.data(), length, &cursor, &line)) {
        EXPECT_LE(line.start + line.length, length);
        out.push_back(text.substr(line.start, line.length));
        if (out.size() > text.size() + 1) break;   // a cursor that stopped moving
    }
    return out;
}
}

TEST(Words, LinesAreCutAtCrLfOnly)
{
    using L = std::vector<std::string>;
    const struct {
        int line;
        std::string text;
        L lines;
    } rows[] = {
        {__LINE__, "ab\r\ncd", L{"ab", "cd"}},
        {__LINE__, "ab\r\ncd\r\n", L{"ab", "cd"}},
        {__LINE__, "x", L{"x"}},
        {__LINE__, "", L{}},
        {__LINE__, "\r\n", L{""}},
        {__LINE__, "\r\n\r\n", L{"", ""}},
        {__LINE__, "a\r\n\r\nb", L{"a", "", "b"}},
        {__LINE__, "a\nb\nc", L{"a\nb\nc"}},
        {__LINE__, "ab\r", L{"ab\r"}},
        {__LINE__, "\r", L{"\r"}},
        {__LINE__, "\n", L{"\n"}},
        {__LINE__, "a\r\r\n", L{"a\r"}},
        {__LINE__, "a\n\r\nb", L{"a\n", "b"}},
        {__LINE__, std::string("a\0b\r\n\0", 6), L{std::string("a\0b", 3), std::string("\0", 1)}},
    };
    for (const auto& r : rows) EXPECT_EQ(Lines(r.text), r.lines) << "row at line " << r.line;

    uint32_t end = 99;
    EXPECT_FALSE(FindLineEnd("abc", 3, 3, &end));
    EXPECT_FALSE(FindLineEnd("abc", 3, 5, &end));
    EXPECT_FALSE(FindLineEnd(nullptr, 0, 0, &end));
}

TEST(Words, RandomTextsComeBackWhenTheLinesAreJoined)
{
    std::mt19937 random(11);
    const char alphabet[] = {'a', '\r', '\n', '@', '>', '\0'};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
        std::vector<std::string> lines = Lines(text);
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\r\n" : "") + lines[i];
        std::string expected = text;
        if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
            expected.resize(expected.size() - 2);
        ASSERT_EQ(joined, expected) << "text of " << text.size() << " bytes, round " << round;
    }
}

TEST(Words, LinesAreClassifiedByTheirFirstBytes)
{
    const struct {
        int line;
        std::string text;
        LineKind kind;
        std::string drawn;
    } rows[] = {
        {__LINE__, "@>Basho", LineRightSub, "Basho"},
        {__LINE__, "@>", LineRightSub, ""},
        {__LINE__, "@>\r\nrest", LineRightSub, ""},
        {__LINE__, "@", LineSub, ""},
        {__LINE__, "@\r\nrest", LineSub, ""},
        {__LINE__, "@note", LineSub, "note"},
        {__LINE__, "@@x", LineSub, "@x"},
        {__LINE__, "@@>x", LineSub, "@>x"},
        {__LINE__, std::string("@\0>", 3), LineSub, std::string("\0>", 2)},
        {__LINE__, " @x", LineOrdinary, " @x"},
        {__LINE__, ">@", LineOrdinary, ">@"},
        {__LINE__, "\r\n", LineOrdinary, ""},
        {__LINE__, "\x82\xA0@", LineOrdinary, "\x82\xA0@"},
        {__LINE__, "\xE0@>", LineOrdinary, "\xE0@>"},   // "@" as a trail byte
        {__LINE__, "\x81", LineOrdinary, "\x81"},        // a lead byte ends the text
        {__LINE__, "@\xFC", LineSub, "\xFC"},
    };
    for (const auto& r : rows) {
        uint32_t cursor = 0;
        TextLine line;
        const std::vector<char> exact = Exact(r.text);
        ASSERT_TRUE(NextTextLine(exact.data(), static_cast<uint32_t>(r.text.size()), &cursor, &line))
            << "row at line " << r.line;
        EXPECT_EQ(line.kind, r.kind) << "row at line " << r.line;
        EXPECT_EQ(r.text.substr(line.textStart, line.textLength), r.drawn) << "row at line " << r.line;
    }
}

TEST(Words, MeasureFindsTheLongestLineAndTheLastSubLine)
{
    // Three ordinary lines (two equally long), an empty one, an attribution.
    const std::string text = "abcd\r\nwxyz\r\n\r\nab\r\n@>\x8F\xBC\x94\xF6\x89\xD4\x9E\x81\r\n";
    TextMeasure m;
    MeasureText(Exact(text).data(), static_cast<uint32_t>(text.size()), &m);
    EXPECT_EQ(m.lines, 5u);
    EXPECT_EQ(m.subLines, 1u);
    EXPECT_EQ(m.maxLen, 4u);
    EXPECT_EQ(m.longestStart, 0u);   // the first of the two
    EXPECT_EQ(text.substr(m.subStart, m.subLen), "\x8F\xBC\x94\xF6\x89\xD4\x9E\x81");

    // Without ordinary text the first of the widest sub lines sizes and
    // places the block.
    const std::string subsOnly = "@first\r\n@>second line\r\n@>same length\r\n@x\r\n\r\n@";
    MeasureText(Exact(subsOnly).data(), static_cast<uint32_t>(subsOnly.size()), &m);
    EXPECT_EQ(m.lines, 6u);
    EXPECT_EQ(m.subLines, 5u);
    EXPECT_EQ(m.maxLen, 0u);
    EXPECT_EQ(subsOnly.substr(m.longestSubStart, m.longestSubLen), "second line");
    EXPECT_EQ(m.subLen, 0u);

    MeasureText("", 0, &m);
    EXPECT_EQ(m.lines, 0u);
    EXPECT_EQ(m.maxLen, 0u);
}

TEST(Words, FileSizeAndSentinelRules)
{
    EXPECT_EQ(CheckWordsFileSize(0, 0), 0);
    EXPECT_EQ(CheckWordsFileSize(0, kMaxWordsFileBytes), 0);
    EXPECT_EQ(CheckWordsFileSize(0, kMaxWordsFileBytes + 1u), 1);
    EXPECT_EQ(CheckWordsFileSize(0, 0xFFFFFFFFu), 1);   // + 1 would wrap to 0
    EXPECT_EQ(CheckWordsFileSize(1, 10), 1);
    // A Unicode file is read before its Shift-JIS size is known.
    EXPECT_EQ(CheckWordsReadSize(0, kMaxWordsFileBytes + 1u), 0);
    EXPECT_EQ(CheckWordsReadSize(0, 0xFFFFFFFFu), 1);
    EXPECT_EQ(CheckWordsReadSize(1, 0), 1);

    EXPECT_TRUE(IsEmptyCatalogueSentinel("EM998"));
    EXPECT_FALSE(IsEmptyCatalogueSentinel("em998"));
    EXPECT_FALSE(IsEmptyCatalogueSentinel("EM9980"));
    EXPECT_FALSE(IsEmptyCatalogueSentinel("EM99"));
    EXPECT_FALSE(IsEmptyCatalogueSentinel("C:\\w\\EM998"));
    EXPECT_FALSE(IsEmptyCatalogueSentinel(nullptr));
}
