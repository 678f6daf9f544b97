#include <gtest/gtest.h>

#include "saver/host/monitors.h"

#include <vector>

TEST(Monitors, EveryOtherMonitorGetsOneCover)
{
    const ScreenRect primary = {0, 0, 1920, 1080};
    struct Case {
        int line;
        std::vector<ScreenRect> monitors;
        std::vector<ScreenRect> covers;
    } cases[] = {
        {__LINE__, {primary}, {}},
        {__LINE__, {primary, {1920, 0, 3200, 1024}}, {{1920, 0, 3200, 1024}}},
        // Left of and above the primary: negative coordinates.
        {__LINE__, {{-1280, -200, 0, 824}, primary, {0, -1080, 1920, 0}},
         {{-1280, -200, 0, 824}, {0, -1080, 1920, 0}}},
        // Mirrored, duplicated or empty monitors need nothing more.
        {__LINE__, {primary, {0, 0, 1024, 768}, {1920, 0, 2720, 600}, {1920, 0, 2720, 600}, {5, 5, 5, 9}},
         {{1920, 0, 2720, 600}}},
    };
    for (const Case& c : cases) {
        ScreenRect covers[kMaxCoverWindows];
        uint32_t n = CoverRects(c.monitors.data(), static_cast<uint32_t>(c.monitors.size()), primary, covers);
        ASSERT_EQ(n, c.covers.size()) << "line " << c.line;
        for (uint32_t i = 0; i < n; ++i) {
            EXPECT_EQ(covers[i].left, c.covers[i].left) << "line " << c.line;
            EXPECT_EQ(covers[i].top, c.covers[i].top) << "line " << c.line;
            EXPECT_EQ(covers[i].right, c.covers[i].right) << "line " << c.line;
            EXPECT_EQ(covers[i].bottom, c.covers[i].bottom) << "line " << c.line;
        }
    }
}

TEST(Monitors, AWallOfMonitorsNeverOverrunsTheCoverTable)
{
    ScreenRect monitors[40];
    for (int i = 0; i < 40; ++i) monitors[i] = {1000 * (i + 1), 0, 1000 * (i + 1) + 800, 600};
    ScreenRect covers[kMaxCoverWindows + 1];
    covers[kMaxCoverWindows] = {7, 7, 7, 7};
    EXPECT_EQ(CoverRects(monitors, 40, {0, 0, 800, 600}, covers), static_cast<uint32_t>(kMaxCoverWindows));
    EXPECT_EQ(covers[kMaxCoverWindows].left, 7);
}
