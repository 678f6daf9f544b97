#include <gtest/gtest.h>

#include "saver/host/command_line.h"

TEST(CommandLine, ProgramNameIsSkipped)
{
    EXPECT_STREQ(ArgumentText("KELMORA.SCR /s"), "/s");
    EXPECT_STREQ(ArgumentText("\"C:\\Program Files\\KELMORA.SCR\" /p 1234"), "/p 1234");
    EXPECT_STREQ(ArgumentText("\"C:\\unterminated /s"), "");
    EXPECT_STREQ(ArgumentText("KELMORA.SCR"), "");
    EXPECT_STREQ(ArgumentText("   /s"), "/s");
    EXPECT_STREQ(ArgumentText(""), "");
    // A trail byte of 0x22 or 0x20 inside a Shift-JIS name is not a quote
    // or a blank: the second byte of a double-byte character is skipped whole.
    EXPECT_STREQ(ArgumentText("\"C:\\\x83\x22\\k.scr\" /c"), "/c");
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
        SaverCommand command = ParseSaverCommand(c.text);
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
