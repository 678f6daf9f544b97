#include <gtest/gtest.h>

#include "saver/common/random.h"

TEST(Random, FirstDrawsOfSeedOneMatchTheClassicGenerator)
{
    SeedRandom(1);
    // state 1 -> 1*214013+2531011 = 2745024 -> bits 16..30 = 41
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    EXPECT_EQ(NextRandom(), 26500);
    EXPECT_EQ(NextRandom(), 19169);
}

TEST(Random, SeedRestartsTheSequence)
{
    SeedRandom(12345);
    int a = NextRandom(), b = NextRandom();
    SeedRandom(12345);
    EXPECT_EQ(NextRandom(), a);
    EXPECT_EQ(NextRandom(), b);
}

TEST(Random, ScaleStaysBelowCount)
{
    EXPECT_EQ(ScaleRandom(0, 15), 0);
    EXPECT_EQ(ScaleRandom(32767, 15), 14);
    EXPECT_EQ(ScaleRandom(32767, 1), 0);
    EXPECT_EQ(ScaleRandom(32767, 65535), 65534);
    EXPECT_EQ(ScaleRandom(16384, 2), 1);
    EXPECT_EQ(ScaleRandom(16383, 2), 0);
    EXPECT_EQ(ScaleRandom(32767, 0), 0);
}

TEST(Random, IndexNeverReachesCountOverManyDraws)
{
    SeedRandom(7);
    for (int i = 0; i < 100000; ++i) ASSERT_LT(RandomIndex(3), 3);
    EXPECT_EQ(RandomIndex(0), 0);
}
