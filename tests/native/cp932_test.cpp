#include <gtest/gtest.h>

#include "common/cp932.h"

#include <string>
#include <vector>

// Texts sit in blocks of exactly their size (the terminator included where
// the helper needs one), so a step past the end is an address-sanitizer
// finding rather than a read of a lucky zero.
TEST(Cp932, CutsAndStepsKeepDoubleByteCharactersWhole)
{
    const struct {
        int line;
        std::string text;
        size_t count;
        size_t whole;      // WholeCharBytes932(text, count)
        size_t steps;      // NextChar932 steps to the terminator
    } rows[] = {
        {__LINE__, "ab", 2, 2, 2},
        {__LINE__, "\x81\x40x", 3, 3, 2},          // both ends of the first lead range
        {__LINE__, "\x9F\xFCx", 2, 2, 2},
        {__LINE__, "\xE0\x5Cx", 3, 3, 2},          // the second range, trail byte "\"
        {__LINE__, "\xFC\x40\xFC\x40", 3, 2, 2},  // cut inside the second character
        {__LINE__, "a\x81", 2, 1, 2},              // a lead byte as the last byte
        {__LINE__, "a\xFC", 2, 1, 2},
        {__LINE__, "\x80\xA0\xDF\xFD", 4, 4, 4},   // single bytes around the ranges
        {__LINE__, "\xA1\x81\x5C", 2, 1, 2},       // half-width kana, then a lead
        {__LINE__, "", 0, 0, 0},
    };
    for (const auto& r : rows) {
        std::vector<char> exact(r.text.begin(), r.text.end());
        EXPECT_EQ(WholeCharBytes932(exact.data(), r.count), r.whole) << "row at line " << r.line;

        std::vector<char> terminated(r.text.size() + 1, '\0');
        std::copy(r.text.begin(), r.text.end(), terminated.begin());
        size_t steps = 0;
        const char* p = terminated.data();
        while (*p != '\0' && steps <= r.text.size()) {
            p = NextChar932(p);
            ++steps;
        }
        EXPECT_EQ(steps, r.steps) << "row at line " << r.line;
        EXPECT_EQ(p, terminated.data() + r.text.size()) << "row at line " << r.line;
        EXPECT_EQ(NextChar932(p), p) << "row at line " << r.line;
    }
}
