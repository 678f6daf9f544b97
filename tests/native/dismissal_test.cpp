#include <gtest/gtest.h>

#include "saver/host/dismissal.h"

#include <string>

#include <cstdint>

TEST(Dismissal, MovesWakeOnlyBeyondFourPixelsFromTheAnchor)
{
    const int32_t kMin = INT32_MIN;
    const int32_t kMax = INT32_MAX;
    struct Case {
        int line;
        int32_t x, y, anchorX, anchorY;
        uint32_t distance;
        bool wakes;
    } cases[] = {
        {__LINE__, 103, 201, 100, 200, 4, false},   // 3 right, 1 down
        {__LINE__, 103, 202, 100, 200, 5, true},    // 3 right, 2 down
        {__LINE__, 97, 199, 100, 200, 4, false},    // left and up count the same
        {__LINE__, 96, 200, 100, 200, 4, false},
        {__LINE__, 95, 200, 100, 200, 5, true},
        {__LINE__, 100, 200, 100, 200, 0, false},
        {__LINE__, -2, -3, 0, 0, 5, true},          // negative coordinates of a second monitor
        // Far apart coordinates must not wrap into a small distance.
        {__LINE__, kMax, 0, kMin, 0, 0xFFFFFFFFu, true},
        {__LINE__, kMin, 1, kMax, 0, 0xFFFFFFFFu, true},   // 2^32 exactly, saturated
        {__LINE__, kMin, kMin, kMax, kMax, 0xFFFFFFFFu, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CursorDistance(c.x, c.y, c.anchorX, c.anchorY), c.distance) << "line " << c.line;
        EXPECT_EQ(MoveWakes(c.x, c.y, c.anchorX, c.anchorY, 4), c.wakes) << "line " << c.line;
    }
}

TEST(Dismissal, SmallStepsAddUpFromTheAnchor)
{
    // Each step moves two pixels from the last one, but the saver measures
    // against the anchor, so the third step wakes it.
    const int32_t anchorX = 10, anchorY = 10;
    EXPECT_FALSE(MoveWakes(12, 10, anchorX, anchorY, 4));
    EXPECT_FALSE(MoveWakes(14, 10, anchorX, anchorY, 4));
    EXPECT_TRUE(MoveWakes(16, 10, anchorX, anchorY, 4));
}

TEST(Dismissal, PasswordPromptsAtMostOncePerTwoHundredMilliseconds)
{
    struct Case {
        int line;
        uint32_t last, now;
        bool due;
    } cases[] = {
        {__LINE__, 0xFFFFFFFFu, 0, true},   // never prompted
        {__LINE__, 1000, 1199, false},
        {__LINE__, 1000, 1200, true},
        // The tick count wrapped between the two: 150 ms, then 200 ms.
        {__LINE__, 0xFFFFFFF0u, 134, false},
        {__LINE__, 0xFFFFFF38u, 0, true},
        // A clock that seems to run backwards is a long wait, not a short one.
        {__LINE__, 5000, 4999, true},
    };
    for (const Case& c : cases) EXPECT_EQ(PasswordPromptDue(c.last, c.now), c.due) << "line " << c.line;
}

TEST(Dismissal, PasswordSwitchIsOffOnlyForZeroOrNothing)
{
    // Numbers as bytes; texts as UTF-16, with or without their NUL.
    const struct { int line; PasswordSwitchKind kind; std::string bytes; bool on; } cases[] = {
        {__LINE__, kSwitchNumber, std::string(4, '\0'), false}, {__LINE__, kSwitchNumber, std::string(7, '\0') + "\1", true},
        {__LINE__, kSwitchText, std::string("0\0\0\0", 4), false}, {__LINE__, kSwitchText, std::string("0\0", 2), false},
        {__LINE__, kSwitchText, "", false},                       {__LINE__, kSwitchText, std::string("0\0" "1\0", 4), true},
        {__LINE__, kSwitchText, std::string("1\0 \0", 4), true},
        // One unit whose high byte is set ("İ", U+0100); an odd last byte is no unit.
        {__LINE__, kSwitchText, std::string("0\1", 2), true},    {__LINE__, kSwitchText, std::string("\0\1", 2), true},
        {__LINE__, kSwitchText, std::string("0\0" "1", 3), false}, {__LINE__, kSwitchText, "1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasswordSwitchOn(c.kind, reinterpret_cast<const uint8_t*>(&c.bytes[0]), c.bytes.size()), c.on) << c.line;
}
