#include <gtest/gtest.h>

#include "saver/sayings/words.h"

#include <cstring>
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
    EXPECT_FALSE(FindLineEnd(static_cast<const char*>(nullptr), 0, 0, &end));
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

namespace {
// Code page 932 as far as the rows need it: ASCII and half-width katakana
// one byte, 田 and 日本語 two; Hangul, ㋿, 𠮷, 葛 and emoji none here.
uint8_t FakeShiftJisBytes(uint32_t c)
{
    if (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) return 1;
    return c == 0x7530 || c == 0x65E5 || c == 0x672C || c == 0x8A9E ? 2 : 0;
}
}

TEST(Words, UnicodeLinesCountClustersByTheirFirstCharacter)
{
    const struct { int line; std::u16string text; uint32_t width; std::vector<uint32_t> ends; /* where each cluster ends */ } rows[] = {
        {__LINE__, u"ab", 2, {1, 2}}, {__LINE__, u"\uFF71\uFF72", 2, {1, 2}}, {__LINE__, u"\u7530", 2, {1}},   // ｱｲ, 田
        {__LINE__, u"\U00020BB7\u7530", 4, {2, 3}},                     // 𠮷田: wide, no form
        {__LINE__, u"\u32FF", 2, {1}}, {__LINE__, u"\uC548\uB155", 4, {1, 2}},   // ㋿, 안녕
        {__LINE__, u"\u1112\u1161\u11AB\u1100", 4, {3, 4}},             // conjoining jamo
        {__LINE__, u"\U0001F44D\U0001F3FD!", 3, {4, 5}},                // 👍🏽 then a narrow "!"
        {__LINE__, u"\U0001F468\u200D\U0001F469\u200D\U0001F467", 2, {8}},
        {__LINE__, u"\U0001F1EF\U0001F1F5\U0001F1F0", 4, {4, 6}},       // a flag and a lone indicator
        {__LINE__, u"e\u0301\u0301x", 2, {3, 4}}, {__LINE__, u"\u845B\U000E0100", 2, {3}},   // combining marks, 葛 with its variation
        {__LINE__, u"\u2764\uFE0F", 1, {2}},                            // text by default: one column
        {__LINE__, u"\u0301a", 2, {1, 2}},                              // a mark with nothing before it
        {__LINE__, u"\u30FB\xD800x\xDC00", 5, {1, 2, 3, 4}}, {__LINE__, u"", 0, {}},   // stand-in, lone halves
    };
    for (const auto& r : rows) {
        const char16_t* text = r.text.data();
        const uint32_t length = uint32_t(r.text.size());
        EXPECT_EQ(LineWidth(text, length, FakeShiftJisBytes), r.width) << "row at line " << r.line;
        std::vector<uint32_t> ends;
        for (uint32_t at = 0, first = 0; at < length && ends.size() <= length;) ends.push_back(at = ClusterEnd(text, length, at, &first));
        EXPECT_EQ(ends, r.ends) << "row at line " << r.line;
        // A cut for drawing keeps whole clusters, at every length.
        for (uint32_t n = 0, expected = 0; n <= length + 1; ++n) {
            for (uint32_t end : ends) if (end <= n) expected = end;
            EXPECT_EQ(WholeClusterUnits(text, length, n), expected) << "row at line " << r.line << ", cut at " << n;
        }
    }
}

TEST(Words, UnicodeTextsAreSizedByWidthAndCutByUnits)
{
    // 日本語 is wider than "abcd" in fewer units; the attribution 𠮷田 too.
    const std::u16string text = u"abcd\r\n\u65E5\u672C\u8A9E\r\nab\r\n@x\r\n@>\U00020BB7\u7530\r\n";
    TextMeasure m;
    MeasureText(text.data(), static_cast<uint32_t>(text.size()), FakeShiftJisBytes, &m);
    const TextMeasure expected = {5, 2, 6, 6, 3, 21, 3, 21, 4, 3};
    EXPECT_EQ(std::memcmp(&m, &expected, sizeof m), 0) << m.lines << " " << m.subLines << " " << m.longestStart << " "
        << m.maxLen << " " << m.maxUnits << " " << m.subStart << " " << m.subLen << " " << m.longestSubStart << " "
        << m.longestSubLen << " " << m.longestSubUnits;
}
