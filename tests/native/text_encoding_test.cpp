#include <gtest/gtest.h>

#include "saver/show/text_encoding.h"

#include <string>
#include <vector>

namespace {
// Bytes in a block of exactly their length, as a file's are.
std::vector<char> Exact(const std::string& text) { return std::vector<char>(text.begin(), text.end()); }

// 猿も in UTF-8 and in Shift-JIS.
const std::string kUtf8Monkey = "\xE7\x8C\xBF\xE3\x82\x82";
const std::string kSjisMonkey = "\x89\x8E\x82\xE0";
}

TEST(TextEncoding, FilesAreUnicodeOnlyWhenPlainlySo)
{
    const struct {
        int line;
        std::string bytes;
        WordsEncoding encoding;
        uint32_t textStart;
    } rows[] = {
        {__LINE__, "", WordsShiftJis, 0},
        {__LINE__, "plain ascii\r\n@>x", WordsShiftJis, 0},
        {__LINE__, "\xEF\xBB\xBF", WordsUtf8, 3},
        {__LINE__, "\xEF\xBB\xBF" "abc", WordsUtf8, 3},
        {__LINE__, "\xEF\xBB", WordsShiftJis, 0},
        {__LINE__, "\xFF\xFE" "a", WordsUtf16Le, 2},
        {__LINE__, "\xFE\xFF", WordsUtf16Be, 2},
        {__LINE__, "@>" + kUtf8Monkey, WordsUtf8, 0},
        {__LINE__, "\xF0\x9F\x98\x80", WordsUtf8, 0},                // beyond the basic plane
        {__LINE__, "x\xCF\x80", WordsUtf8, 0},                       // π: two bytes, not kana-shaped
        // Valid at first, then not: as any Shift-JIS file.
        {__LINE__, kUtf8Monkey + kSjisMonkey, WordsShiftJis, 0},
        {__LINE__, kUtf8Monkey + "\xE3\x82", WordsShiftJis, 0},      // cut inside the last character
        {__LINE__, "a\xC0\x80", WordsShiftJis, 0},                   // overlong
        {__LINE__, "\xE0\x80\x80", WordsShiftJis, 0},
        {__LINE__, "\xED\xA0\x80", WordsShiftJis, 0},                // a surrogate
        {__LINE__, "\xF4\x90\x80\x80", WordsShiftJis, 0},            // past U+10FFFF
        {__LINE__, "\xF8\x88\x80\x80\x80", WordsShiftJis, 0},
        // Shift-JIS sayings stay as they are.
        {__LINE__, kSjisMonkey + "\r\n@>\x8F\xBC\x94\xF6", WordsShiftJis, 0},
        {__LINE__, "\xB1\xB2\xB3", WordsShiftJis, 0},                // ｱｲｳ
        {__LINE__, "\xC5\xB6 \xCE\xBC", WordsShiftJis, 0},           // ﾅｶ ﾎｼ: valid UTF-8 by chance
        {__LINE__, "\xE8\x9F\x82\xA0", WordsShiftJis, 0},            // a 0xE8 kanji and あ
        {__LINE__, "\xE0\x40\xEF\xFC", WordsShiftJis, 0},
    };
    for (const auto& r : rows) {
        uint32_t start = 99;
        EXPECT_EQ(DetectWordsEncoding(Exact(r.bytes).data(), static_cast<uint32_t>(r.bytes.size()), &start),
                  r.encoding)
            << "row at line " << r.line;
        EXPECT_EQ(start, r.textStart) << "row at line " << r.line;
    }
}

TEST(TextEncoding, BrokenCharactersBecomeOneStandInEach)
{
    using U = std::vector<uint16_t>;
    const uint16_t S = kWordsStandIn;
    const struct {
        int line;
        WordsEncoding encoding;
        std::string bytes;
        U units;
    } rows[] = {
        {__LINE__, WordsUtf8, "a\r\n" + kUtf8Monkey, U{'a', '\r', '\n', 0x733F, 0x3082}},
        {__LINE__, WordsUtf8, "\xEF\xBD\xB1", U{0xFF71}},                          // ｱ
        {__LINE__, WordsUtf8, "\xF0\x9F\x98\x80!", U{S, '!'}},
        {__LINE__, WordsUtf8, "a\xE3\x81" "b", U{'a', S, 'b'}},
        {__LINE__, WordsUtf8, "\xC0\x80\xE3", U{S, S, S}},
        {__LINE__, WordsUtf8, std::string("\0x", 2), U{0, 'x'}},
        {__LINE__, WordsUtf16Le, std::string("a\0\x42\x30", 4), U{'a', 0x3042}},
        {__LINE__, WordsUtf16Be, std::string("\0a\x30\x42", 4), U{'a', 0x3042}},
        {__LINE__, WordsUtf16Le, std::string("\x3D\xD8\x00\xDE" "a\0", 6), U{S, 'a'}},   // a pair
        {__LINE__, WordsUtf16Le, "\x3D\xD8", U{S}},                                      // lone high at the end
        {__LINE__, WordsUtf16Le, std::string("\x3D\xD8" "a\0", 4), U{S, 'a'}},
        {__LINE__, WordsUtf16Be, std::string("\xDE\x00\xDE\x00", 4), U{S, S}},           // lone lows
        {__LINE__, WordsUtf16Le, std::string("a\0b", 3), U{'a', S}},                     // odd byte count
        {__LINE__, WordsUtf16Le, "", U{}},
        {__LINE__, WordsShiftJis, "ab", U{}},
    };
    for (const auto& r : rows) {
        const uint32_t count = static_cast<uint32_t>(r.bytes.size());
        std::vector<uint16_t> out(WordsUnitsBound(count));   // exact, so a write past it is seen
        uint32_t n = DecodeWordsText(Exact(r.bytes).data(), count, r.encoding, out.data(), WordsUnitsBound(count));
        out.resize(n);
        EXPECT_EQ(out, r.units) << "row at line " << r.line;
    }
    // A short buffer is filled and not overrun.
    std::vector<uint16_t> two(2);
    EXPECT_EQ(DecodeWordsText("abcd", 4, WordsUtf8, two.data(), 2), 2u);
    EXPECT_EQ(DecodeWordsText("a\0b\0c\0", 6, WordsUtf16Le, two.data(), 2), 2u);
}
