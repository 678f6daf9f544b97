#include <gtest/gtest.h>

#include "saver/opening/opening.h"
#include "saver/opening/sysinfo.h"
#include "saver/transitions/transition_logic.h"

#include <vector>

namespace {
// What one tick of the whole opening does, driven the way the show cycle
// drives it: animation, title, then the opening's own step, with the list's
// counter run whenever its step is due.
struct TickRecord {
    AnimationTick animation;
    TitleTick title;
    uint16_t titleShown, creditShown;
    bool systemInfo;
    bool listCreated;    // first call of the list's step
    bool listDestroyed;
    bool ends;
};

struct OpeningRun {
    uint32_t frameTicks = 0, openingTicks = 0, sysInfoTicks = 0;
    TitleCounters title = {};
};

std::vector<TickRecord> RunOpening(uint32_t display, size_t titleLength, size_t creditLength, OpeningRun* run,
                                   uint32_t limit = 100000)
{
    std::vector<TickRecord> ticks;
    for (uint32_t i = 0; i < limit; ++i) {
        TickRecord r = {};
        r.animation = AdvanceAnimation(&run->frameTicks, display);
        r.title = AdvanceTitle(&run->title, display, titleLength, creditLength);
        r.titleShown = run->title.titleShown;
        r.creditShown = run->title.creditShown;
        OpeningTick o = AdvanceOpening(&run->openingTicks, display, 0);
        r.systemInfo = o.systemInfo;
        if (o.systemInfo) {
            r.listCreated = run->sysInfoTicks == 0;
            r.listDestroyed = CountSystemInfoCall(&run->sysInfoTicks);
        }
        r.ends = o.ends;
        ticks.push_back(r);
        if (o.ends) break;
    }
    return ticks;
}

size_t ExpectedShown(size_t tick, size_t length)
{
    size_t shown = 2 * (tick + 1);
    return shown < length ? shown : length;
}
}

TEST(OpeningTimeline, WholeRunForShortAndDefaultHolds)
{
    const struct {
        int line;
        uint32_t display;
    } rows[] = {{__LINE__, 0}, {__LINE__, 1}, {__LINE__, 100}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const uint32_t d = row.display;
        const size_t titleLength = 37, creditLength = 30;
        OpeningRun run;
        std::vector<TickRecord> ticks = RunOpening(d, titleLength, creditLength, &run);
        ASSERT_EQ(ticks.size(), d + 62);
        const size_t last = ticks.size() - 1;
        for (size_t t = 0; t < ticks.size(); ++t) {
            SCOPED_TRACE(t);
            const TickRecord& r = ticks[t];
            EXPECT_EQ(r.ends, t == last);
            EXPECT_EQ(r.animation.load, t == 0);
            EXPECT_EQ(r.title.createFonts, t == 0);
            EXPECT_EQ(r.animation.erase, t == last);
            EXPECT_EQ(r.title.erase, t == last);
            if (t == last) {
                EXPECT_EQ(r.animation.frame, -1);
                EXPECT_FALSE(r.title.drawTitle);
                EXPECT_FALSE(r.title.drawCredit);
            } else {
                EXPECT_EQ(r.animation.frame, t < 13 ? static_cast<int>(t) : 12);
                EXPECT_EQ(r.titleShown, ExpectedShown(t, titleLength));
                EXPECT_EQ(r.creditShown, ExpectedShown(t, creditLength));
                // A line is drawn while it grows, never once complete.
                EXPECT_EQ(r.title.drawTitle, 2 * t < titleLength);
                EXPECT_EQ(r.title.drawCredit, 2 * t < creditLength);
            }
            // The list covers exactly the last 62 ticks: made on the
            // first of them, taken down on the last.
            EXPECT_EQ(r.systemInfo, t >= d);
            EXPECT_EQ(r.listCreated, t == d);
            EXPECT_EQ(r.listDestroyed, t == last);
        }
        // Everything is back at rest for a later run.
        EXPECT_EQ(run.frameTicks, 0u);
        EXPECT_EQ(run.openingTicks, 0u);
        EXPECT_EQ(run.title.titleTicks, 0u);
        EXPECT_EQ(run.sysInfoTicks, 0u);
    }
}

TEST(OpeningTimeline, FortyFiveByteTitleEndsWithAOneByteStep)
{
    OpeningRun run;
    std::vector<TickRecord> ticks = RunOpening(100, 45, 3, &run);
    ASSERT_GT(ticks.size(), 24u);
    EXPECT_EQ(ticks[0].titleShown, 2);
    EXPECT_EQ(ticks[21].titleShown, 44);
    EXPECT_EQ(ticks[22].titleShown, 45);   // complete after 23 ticks
    EXPECT_TRUE(ticks[22].title.drawTitle);
    EXPECT_FALSE(ticks[23].title.drawTitle);
    EXPECT_EQ(ticks[23].titleShown, 45);
    // The three-byte credit: 2, then 3, then no more drawing.
    EXPECT_EQ(ticks[0].creditShown, 2);
    EXPECT_EQ(ticks[1].creditShown, 3);
    EXPECT_TRUE(ticks[1].title.drawCredit);
    EXPECT_FALSE(ticks[2].title.drawCredit);
}

TEST(OpeningTimeline, EmptyLinesAreNeverDrawn)
{
    OpeningRun run;
    std::vector<TickRecord> ticks = RunOpening(0, 0, 0, &run);
    ASSERT_EQ(ticks.size(), 62u);
    for (const TickRecord& r : ticks) {
        EXPECT_FALSE(r.title.drawTitle);
        EXPECT_FALSE(r.title.drawCredit);
        EXPECT_EQ(r.titleShown, 0);
    }
    EXPECT_TRUE(ticks.front().title.createFonts);
    EXPECT_TRUE(ticks.back().title.erase);
}

TEST(OpeningTimeline, TypingNeverPassesTheEnd)
{
    const struct {
        int line;
        uint16_t shown;
        size_t length;
        uint16_t next;
    } rows[] = {
        {__LINE__, 0, 49, 2}, {__LINE__, 47, 49, 49}, {__LINE__, 48, 49, 49},
        {__LINE__, 49, 49, 49}, {__LINE__, 0, 1, 1}, {__LINE__, 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(TypedBytes(row.shown, row.length), row.next);
    }
}

TEST(OpeningTimeline, ListWaitsWhileAnItemIsBusy)
{
    uint32_t ticks = 5;
    EXPECT_FALSE(AdvanceOpening(&ticks, 0, 1).systemInfo);
    EXPECT_EQ(ticks, 6u);
    ticks = 5;
    EXPECT_TRUE(AdvanceOpening(&ticks, 0, 0).systemInfo);
}

TEST(OpeningTimeline, HugeHoldIsBoundedWithoutWrapping)
{
    const uint32_t kMaxDisplayTicks = kMaxTransitionDisplay;

    // Without the bound D + 60 would wrap for such a D and the opening
    // would end on its first tick.
    uint32_t ticks = 0;
    EXPECT_FALSE(AdvanceOpening(&ticks, 0xFFFFFFF0u, 0).ends);
    EXPECT_FALSE(AdvanceOpening(&ticks, 0xFFFFFFF0u, 0).systemInfo);

    ticks = kMaxDisplayTicks + 60;
    OpeningTick t = AdvanceOpening(&ticks, 0xFFFFFFFFu, 0);
    EXPECT_TRUE(t.systemInfo);
    EXPECT_FALSE(t.ends);
    EXPECT_EQ(ticks, kMaxDisplayTicks + 61);
    t = AdvanceOpening(&ticks, 0xFFFFFFFFu, 0);
    EXPECT_TRUE(t.ends);
    EXPECT_EQ(ticks, 0u);

    uint32_t frames = kMaxDisplayTicks + 61;
    EXPECT_TRUE(AdvanceAnimation(&frames, 0xFFFFFFFFu).erase);
    EXPECT_EQ(frames, 0u);
}

TEST(OpeningLayout, FrameIsCentredWithTruncatedHalves)
{
    const struct {
        int line;
        int32_t w, h, bw, bh, x, y;
    } rows[] = {
        {__LINE__, 640, 480, 248, 109, 196, 186},
        {__LINE__, 1024, 768, 248, 109, 388, 330},
        {__LINE__, 641, 481, 247, 103, 197, 189},
        {__LINE__, 152, 112, 248, 109, -48, 2},    // a preview smaller than the frame
        {__LINE__, 640, 480, 0, 0, 320, 240},      // no frame loaded
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        Point32 p = FramePosition(row.w, row.h, row.bw, row.bh);
        EXPECT_EQ(p.x, row.x);
        EXPECT_EQ(p.y, row.y);
    }
}

TEST(OpeningLayout, LinesSitAtAQuarterAndThreeQuarters)
{
    EXPECT_EQ(TitleTop(480), 120);
    EXPECT_EQ(CreditTop(480), 360);
    // (H/4) x 3, not 3H/4.
    EXPECT_EQ(TitleTop(483), 120);
    EXPECT_EQ(CreditTop(483), 360);
    EXPECT_EQ(LineLeft(640, 448), 96);
    EXPECT_EQ(LineLeft(640, 449), 96);
    EXPECT_EQ(LineLeft(641, 449), 96);
    EXPECT_EQ(LineLeft(100, 300), -100);
}

TEST(OpeningLayout, FontCellsFollowTheWidthAndTheTextLength)
{
    const struct {
        int line;
        int32_t w;
        size_t length;
        CellSize title, credit;
    } rows[] = {
        // a = 448, 448 / 37 = 12; credit 320 / 37 = 8, 2 x (256 / 37) = 12
        {__LINE__, 640, 37, {12, 24}, {8, 12}},
        {__LINE__, 1024, 37, {19, 38}, {13, 22}},
        {__LINE__, 640, 30, {14, 28}, {10, 16}},
        {__LINE__, 640, 0, {0, 0}, {0, 0}},
        {__LINE__, 0, 37, {0, 0}, {0, 0}},
        {__LINE__, 10, 49, {0, 0}, {0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        CellSize t = TitleCellSize(row.w, row.length);
        CellSize c = CreditCellSize(row.w, row.length);
        EXPECT_EQ(t.width, row.title.width);
        EXPECT_EQ(t.height, row.title.height);
        EXPECT_EQ(c.width, row.credit.width);
        EXPECT_EQ(c.height, row.credit.height);
    }
}
