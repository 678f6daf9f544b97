#include <gtest/gtest.h>

#include "saver/sayings/text_encoding.h"

#include <string>
#include <vector>

// Each file is detected, and a Unicode one decoded after its mark, from a
// block of exactly its length so that a step past the end is seen.
TEST(TextEncoding, FilesAreUnicodeOnlyWhenPlainlySoAndDecodeWhole)
{
    using U = std::vector<uint16_t>;
    const uint16_t S = kWordsStandIn;
    const std::string utf8Monkey = "\xE7\x8C\xBF\xE3\x82\x82", sjisMonkey = "\x89\x8E\x82\xE0";   // 猿も
    const struct {
        int line;
        std::string bytes;
        WordsEncoding encoding;
        U units;
    } rows[] = {
        {__LINE__, "", WordsShiftJis, U{}},
        {__LINE__, "plain ascii\r\n@>x", WordsShiftJis, U{}},
        {__LINE__, "\xEF\xBB\xBF", WordsUtf8, U{}},
        {__LINE__, "\xEF\xBB", WordsShiftJis, U{}},
        {__LINE__, "@>" + utf8Monkey, WordsUtf8, U{'@', '>', 0x733F, 0x3082}},
        {__LINE__, "\xF0\x9F\x98\x80!", WordsUtf8, U{0xD83D, 0xDE00, '!'}},    // beyond the basic plane
        {__LINE__, "x\xCF\x80", WordsUtf8, U{'x', 0x3C0}},                      // π: not kana-shaped
        {__LINE__, "\xEF\xBB\xBF" "a\xE3\x81" "b\xC0", WordsUtf8, U{'a', S, 'b', S}},   // broken after a mark
        {__LINE__, std::string("\xFF\xFE" "a\0\x42\x30", 6), WordsUtf16Le, U{'a', 0x3042}},
        {__LINE__, std::string("\xFE\xFF\0a\x30\x42", 6), WordsUtf16Be, U{'a', 0x3042}},
        {__LINE__, std::string("\xFF\xFE\x3D\xD8\x00\xDE" "a\0", 8), WordsUtf16Le, U{0xD83D, 0xDE00, 'a'}},   // a pair
        {__LINE__, std::string("\xFF\xFE\x3D\xD8" "a\0", 6), WordsUtf16Le, U{S, 'a'}},           // lone high
        {__LINE__, std::string("\xFE\xFF\xDE\x00\xD8\x00", 6), WordsUtf16Be, U{S, S}},           // lone low, high at the end
        {__LINE__, std::string("\xFF\xFE" "a\0b", 5), WordsUtf16Le, U{'a', S}},                  // odd byte count
        // Valid at first, then not: as any Shift-JIS file.
        {__LINE__, utf8Monkey + sjisMonkey, WordsShiftJis, U{}},
        {__LINE__, utf8Monkey + "\xE3\x82", WordsShiftJis, U{}},
        {__LINE__, "a\xC0\x80", WordsShiftJis, U{}},                             // overlong
        {__LINE__, "\xED\xA0\x80", WordsShiftJis, U{}},                          // a surrogate
        {__LINE__, "\xF4\x90\x80\x80", WordsShiftJis, U{}},                      // past U+10FFFF
        // Shift-JIS sayings stay as they are.
        {__LINE__, sjisMonkey + "\r\n@>\x8F\xBC\x94\xF6", WordsShiftJis, U{}},
        {__LINE__, "\xB1\xB2\xB3", WordsShiftJis, U{}},                          // ｱｲｳ
        {__LINE__, "\xC5\xB6 \xCE\xBC", WordsShiftJis, U{}},                     // ﾅｶ ﾎｼ: valid UTF-8 by chance
        {__LINE__, "\xE8\x9F\x82\xA0", WordsShiftJis, U{}},                      // a 0xE8 kanji and あ
        {__LINE__, "\xE0\x40\xEF\xFC", WordsShiftJis, U{}},
    };
    for (const auto& r : rows) {
        const std::vector<char> exact(r.bytes.begin(), r.bytes.end());
        const uint32_t length = static_cast<uint32_t>(exact.size());
        uint32_t start = 99;
        ASSERT_EQ(DetectWordsEncoding(exact.data(), length, &start), r.encoding) << "row at line " << r.line;
        std::vector<uint16_t> out(WordsUnitsBound(length - start));
        out.resize(DecodeWordsText(exact.data() + start, length - start, r.encoding, out.data(),
                                   static_cast<uint32_t>(out.size())));
        EXPECT_EQ(out, r.units) << "row at line " << r.line;
    }
    // A short buffer is filled and not overrun.
    std::vector<uint16_t> two(2);
    EXPECT_EQ(DecodeWordsText("abcd", 4, WordsUtf8, two.data(), 2), 2u);
    EXPECT_EQ(DecodeWordsText("a\0b\0c\0", 6, WordsUtf16Le, two.data(), 2), 2u);
    // ... and a pair that does not fit whole is left out whole.
    EXPECT_EQ(DecodeWordsText("a\xF0\x9F\x98\x80", 5, WordsUtf8, two.data(), 2), 1u);
    EXPECT_EQ(DecodeWordsText("a\0\x3D\xD8\x00\xDE", 6, WordsUtf16Le, two.data(), 2), 1u);
}
