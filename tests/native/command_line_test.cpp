#include <gtest/gtest.h>

#include "saver/host/command_line.h"

#include <cstring>
#include <string>
#include <vector>

TEST(CommandLine, ProgramNameIsSkipped)
{
    const struct {
        int line;
        std::string commandLine;
        const char* arguments;
    } rows[] = {
        {__LINE__, "KELMORA.SCR /s", "/s"},
        {__LINE__, "\"C:\\Program Files\\KELMORA.SCR\" /p 1234", "/p 1234"},
        {__LINE__, "\"C:\\unterminated /s", ""},
        {__LINE__, "KELMORA.SCR", ""},
        {__LINE__, "   /s", "/s"},
        {__LINE__, "", ""},
        // A trail byte of 0x22 or 0x20 inside a Shift-JIS name is not a
        // quote or a blank: the second byte of a double-byte character is
        // skipped whole, from either lead range.
        {__LINE__, "\"C:\\\x83\x22\\k.scr\" /c", "/c"},
        {__LINE__, "\"C:\\\xE0\x22\\k.scr\" /c", "/c"},
        {__LINE__, "C:\\\xFC\x20k.scr /s", "/s"},
        {__LINE__, "\"k\x81\" /s", ""},       // the quote is a trail byte: no closing quote
        {__LINE__, "KELMORA\x81", ""},         // a lead byte as the last byte
        {__LINE__, "k.scr \x9F", "\x9F"},
    };
    for (const auto& r : rows) {
        // Exactly the text and its terminator: a step past it is a finding.
        std::vector<char> exact(r.commandLine.size() + 1, '\0');
        std::copy(r.commandLine.begin(), r.commandLine.end(), exact.begin());
        EXPECT_STREQ(ArgumentText(exact.data()), r.arguments) << "row at line " << r.line;
    }
    EXPECT_STREQ(ArgumentText(nullptr), "");
}

TEST(CommandLine, OptionLettersChooseTheMode)
{
    struct Case {
        int line;
        const char* text;
        SaverMode mode;
        uintptr_t handle;
    } cases[] = {
        {__LINE__, "/s", ModeRun, 0},
        {__LINE__, "-S", ModeRun, 0},
        {__LINE__, "s", ModeRun, 0},
        {__LINE__, " /s", ModeRun, 0},
        {__LINE__, "--s", ModeRun, 0},
        {__LINE__, "/p 1234", ModePreview, 1234},
        {__LINE__, "/p1234", ModePreview, 1234},
        {__LINE__, "/l 1234", ModePreview, 1234},
        {__LINE__, "/P   99", ModePreview, 99},
        {__LINE__, "/p:1234", ModePreview, 0},
        {__LINE__, "/p", ModePreview, 0},
        {__LINE__, "/c:1234", ModeConfigureOwned, 0},
        {__LINE__, "C", ModeConfigureOwned, 0},
        {__LINE__, "", ModeConfigure, 0},
        {__LINE__, "  --  ", ModeConfigure, 0},
        {__LINE__, "/a 1234", ModeChangePassword, 0},
        {__LINE__, "/x", ModeUnknown, 0},
        {__LINE__, "\x82\xa0", ModeUnknown, 0},
    };
    for (const Case& c : cases) {
        std::vector<char> exact(c.text, c.text + std::strlen(c.text) + 1);
        SaverCommand command = ParseSaverCommand(exact.data());
        EXPECT_EQ(command.mode, c.mode) << "line " << c.line;
        EXPECT_EQ(command.handle, c.handle) << "line " << c.line;
    }
    EXPECT_STREQ(ParseSaverCommand("/a   1234").rest, "1234");
}

TEST(CommandLine, WindowHandleIsDecimalAndPointerSized)
{
    EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("12x34"), 12u);
    EXPECT_EQ(ParseWindowHandle("-5"), 0u);
    EXPECT_EQ(ParseWindowHandle("0x10"), 0u);
    EXPECT_EQ(ParseWindowHandle(""), 0u);
    if (sizeof(uintptr_t) == 8) {
        EXPECT_EQ(ParseWindowHandle("4294967296"), 4294967296u);
        EXPECT_EQ(ParseWindowHandle("18446744073709551615"), 18446744073709551615u);
        // One more than fits: no window has that handle.
        EXPECT_EQ(ParseWindowHandle("18446744073709551616"), 0u);
    }
    EXPECT_EQ(ParseWindowHandle("99999999999999999999999999999"), 0u);
}
