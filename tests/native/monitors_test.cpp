#include <gtest/gtest.h>

#include "saver/common/monitors.h"

#include <algorithm>
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
        // Monitors that differ only in height, from each other or the primary.
        {__LINE__, {primary, {1920, 0, 3840, 1080}, {1920, 0, 3840, 1081}, {0, 0, 1920, 1081}},
         {{1920, 0, 3840, 1080}, {1920, 0, 3840, 1081}, {0, 0, 1920, 1081}}},
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

// The fit keeps the picture's proportions on any monitor, and a changed part
// maps to a mirror rectangle that holds it, at the whole picture's scale.
TEST(Monitors, MirrorsFitThePictureAndMapEveryChange)
{
    struct Case {
        int line;
        int32_t monW, monH;
        ScreenRect fit;
        ScreenRect changed, dest;
        int32_t srcW = 1920, srcH = 1080;
    } cases[] = {
        // 1920 x 1080 on a 4:3 monitor: bands above and below.
        {__LINE__, 1024, 768, {0, 96, 1024, 672}, {0, 0, 1920, 1080}, {0, 96, 1024, 672}},
        // On a taller-than-wide monitor turned on its side.
        {__LINE__, 1080, 1920, {0, 656, 1080, 1264}, {960, 540, 961, 541}, {540, 960, 541, 961}},
        // The same shape: the whole monitor, one to one.
        {__LINE__, 1920, 1080, {0, 0, 1920, 1080}, {10, 20, 30, 40}, {10, 20, 30, 40}},
        // Twice the size; a change past the picture's edges is cut to them.
        {__LINE__, 3840, 2160, {0, 0, 3840, 2160}, {-50, -50, 1, 1}, {0, 0, 2, 2}},
        // A wide monitor: bands left and right.
        {__LINE__, 3440, 1080, {760, 0, 2680, 1080}, {1900, 1000, 1920, 1080}, {2660, 1000, 2680, 1080}},
        // Nothing shows on an empty monitor, or for a change outside the picture.
        {__LINE__, 0, 600, {0, 0, 0, 0}, {0, 0, 10, 10}, {0, 0, 0, 0}},
        {__LINE__, 800, 600, {0, 75, 800, 525}, {1920, 0, 2000, 10}, {0, 0, 0, 0}},
        // A picture one pixel wide stays one pixel wide, however it is shrunk.
        {__LINE__, 800, 300, {399, 0, 400, 300}, {0, 0, 1, 1080}, {399, 0, 400, 300}, 1, 1080},
        {__LINE__, 1024, 768, {511, 0, 512, 768}, {0, 540, 1, 541}, {511, 384, 512, 385}, 1, 1080},
    };
    for (const Case& c : cases) {
        ScreenRect fit = MirrorFit(c.srcW, c.srcH, c.monW, c.monH);
        EXPECT_EQ(fit.left, c.fit.left) << "line " << c.line;
        EXPECT_EQ(fit.top, c.fit.top) << "line " << c.line;
        EXPECT_EQ(fit.right, c.fit.right) << "line " << c.line;
        EXPECT_EQ(fit.bottom, c.fit.bottom) << "line " << c.line;
        ScreenRect dest = {}, source = {};
        bool drawn = MirrorDamage(c.changed, c.srcW, c.srcH, fit, &dest, &source);
        EXPECT_EQ(drawn, c.dest.right > c.dest.left) << "line " << c.line;
        if (!drawn) continue;
        EXPECT_EQ(dest.left, c.dest.left) << "line " << c.line;
        EXPECT_EQ(dest.top, c.dest.top) << "line " << c.line;
        EXPECT_EQ(dest.right, c.dest.right) << "line " << c.line;
        EXPECT_EQ(dest.bottom, c.dest.bottom) << "line " << c.line;
        // The source holds the change, stays inside the picture, and
        // stretches onto dest at the fit's scale (within a pixel).
        EXPECT_LE(source.left, std::max(c.changed.left, 0)) << "line " << c.line;
        EXPECT_GE(source.right, std::min(c.changed.right, c.srcW)) << "line " << c.line;
        EXPECT_GE(source.left, 0) << "line " << c.line;
        EXPECT_LE(source.bottom, c.srcH) << "line " << c.line;
        double scale = double(fit.right - fit.left) / c.srcW;
        EXPECT_NEAR((source.right - source.left) * scale, dest.right - dest.left, 1.0 + scale) << "line " << c.line;
    }
}
