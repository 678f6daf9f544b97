#include <gtest/gtest.h>

#include "saver/opening/sysinfo.h"

#include <cstring>
#include <string>

namespace {
SystemFacts SampleFacts()
{
    SystemFacts f = {};
    f.width = 640;
    f.height = 480;
    f.pageFileFreeKB = 1048576;
    f.physicalFreeKB = 524288;
    f.memoryLoad = 37;
    f.fileCount = 21;
    const uint16_t kinds[6] = {10, 5, 1, 2, 3, 0};   // txt bmp mid wav avi dll
    std::memcpy(f.kindCounts, kinds, sizeof kinds);
    f.aviPlay = 2;
    f.fadeCount = 15;
    f.colorCount = 7;
    return f;
}
}

TEST(SystemInfoList, GeometryIsTruncatedFromDoubles)
{
    const struct {
        int line;
        int32_t w, h;
        ListGeometry box;
    } rows[] = {
        {__LINE__, 640, 480, {426, 240, 213, 120}},
        {__LINE__, 1024, 768, {682, 384, 341, 192}},
        {__LINE__, 3, 4, {2, 2, 1, 1}},
        {__LINE__, 0, 0, {0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        ListGeometry box = SystemInfoGeometry(row.w, row.h);
        EXPECT_EQ(box.x, row.box.x);
        EXPECT_EQ(box.y, row.box.y);
        EXPECT_EQ(box.width, row.box.width);
        EXPECT_EQ(box.height, row.box.height);
    }
}

TEST(SystemInfoList, StaysForSixtyTwoCalls)
{
    uint32_t ticks = 0;
    for (int call = 1; call <= 61; ++call) {
        SCOPED_TRACE(call);
        EXPECT_FALSE(CountSystemInfoCall(&ticks));
        EXPECT_EQ(ticks, static_cast<uint32_t>(call));
    }
    EXPECT_TRUE(CountSystemInfoCall(&ticks));
    EXPECT_EQ(ticks, 0u);
}

TEST(SystemInfoList, LinesByteForByte)
{
    char lines[kSysInfoMaxLines][kSysInfoLineSize];
    SystemFacts f = SampleFacts();
    ASSERT_EQ(SystemInfoLines(f, lines), 7);
    // "☆ DisplayPixels = 640 * 480" and so on; ☆ 81 99, ◇ 81 9E, ◆ 81 9F.
    EXPECT_STREQ(lines[0], "\x81\x99 DisplayPixels = 640 * 480");
    EXPECT_STREQ(lines[1], "\x81\x99 Memory = 1048576KB, 524288KB, 37%");
    EXPECT_STREQ(lines[2], "\x81\x99 KelmoraFileCount = 21");
    EXPECT_STREQ(lines[3], "   (.txt=10 .bmp=5 .wav=2");
    EXPECT_STREQ(lines[4], "    .mid=1 .avi=3 .dll=0)");
    EXPECT_STREQ(lines[5], "\x81\x9e AVI Play = 2");
    EXPECT_STREQ(lines[6], "\x81\x9e FadeCount = 15 / ColorCount = 7");
}

TEST(SystemInfoList, PortLineOnlyWhenAPortIsWatched)
{
    const struct {
        int line;
        uint32_t chosen, free;
        int count;
        const char* last;
    } rows[] = {
        {__LINE__, 0, 1, 7, nullptr},
        {__LINE__, 0, 0, 7, nullptr},
        {__LINE__, 1, 1, 8, "\x81\x9e COM No Used"},
        {__LINE__, 1, 0, 8, "\x81\x9f COM Used   "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        char lines[kSysInfoMaxLines][kSysInfoLineSize];
        SystemFacts f = SampleFacts();
        f.portsChosen = row.chosen;
        f.portsFree = row.free;
        ASSERT_EQ(SystemInfoLines(f, lines), row.count);
        if (row.last) EXPECT_STREQ(lines[7], row.last);
    }
}

TEST(SystemInfoList, LargestFiguresFitTheirLines)
{
    SystemFacts f = {};
    f.width = -2147483647 - 1;
    f.height = 2147483647;
    f.pageFileFreeKB = 6ull << 20;      // 6 GiB of page file, past 32 bits in bytes
    f.physicalFreeKB = 0xFFFFFFFFFFFFFFFFull >> 10;
    f.memoryLoad = 0xFFFFFFFFu;
    f.fileCount = 0xFFFFFFFFu;
    for (uint16_t& k : f.kindCounts) k = 65535;
    f.aviPlay = 0xFFFFFFFFu;
    f.fadeCount = 65535;
    f.colorCount = 65535;
    f.portsChosen = 1;
    char lines[kSysInfoMaxLines][kSysInfoLineSize];
    ASSERT_EQ(SystemInfoLines(f, lines), 8);
    for (const char* line : lines) EXPECT_LT(std::strlen(line), static_cast<size_t>(kSysInfoLineSize) - 1);
    EXPECT_STREQ(lines[0], "\x81\x99 DisplayPixels = -2147483648 * 2147483647");
    EXPECT_STREQ(lines[1], "\x81\x99 Memory = 6291456KB, 18014398509481983KB, 4294967295%");
    // Counts are never shown negative.
    EXPECT_STREQ(lines[2], "\x81\x99 KelmoraFileCount = 4294967295");
    EXPECT_STREQ(lines[3], "   (.txt=65535 .bmp=65535 .wav=65535");
}
