// The engine's timeline, its random picks and the guards on what it reads.
#include <gtest/gtest.h>

#include "saver/common/random.h"
#include "saver/transitions/transition_logic.h"

#include <cstring>
#include <vector>

namespace {

TransitionDraws draws;

struct Engine {
    uint16_t list[64] = {};   // room past the 16 slots, to see that no pick reads there
    TransitionInputs in = {800, 600, 0, 0, list, 1};
    TransitionState s = {};
    int Step() { return AdvanceTransition(&s, in, &draws); }
    void Use(std::initializer_list<uint16_t> kinds)
    {
        std::memset(list, 0, sizeof list);
        uint16_t n = 0;
        for (uint16_t k : kinds) list[n++] = k;
        in.fadeCount = n;
    }
};

// The first seed whose next draw is r.
uint32_t SeedGiving(int r)
{
    for (uint32_t seed = 0;; ++seed) {
        SeedRandom(seed);
        if (NextRandom() == r) return seed;
    }
}

}  // namespace

TEST(TransitionEngine, ItemTakesDisplayPlusSixtyTwoCalls)
{
    struct Case {
        int line;
        uint32_t display;
        int32_t lastCall;   // the call that returns 1, counted from 0
    } const cases[] = {
        {__LINE__, 0, 61},
        {__LINE__, 1, 62},
        {__LINE__, 100, 161},
    };
    for (const Case& c : cases) {
        Engine e;
        e.Use({0});
        e.in.display = c.display;
        std::vector<uint32_t> counts;
        int call = 0;
        for (; call < 1000; ++call) {
            int done = e.Step();
            counts.push_back(draws.count);
            if (done) break;
        }
        EXPECT_EQ(call, c.lastCall) << "case at line " << c.line;
        EXPECT_EQ(e.s.frameIndex, 0) << "case at line " << c.line;
        const int hideStart = static_cast<int>(c.display) + 30;
        for (int i = 0; i <= call; ++i) {
            // Kind 0 draws one step a frame; the hold draws nothing; the
            // completion and the finish draw the whole area and release.
            size_t expected = (i >= 1 && i <= 29) || (i > hideStart && i <= hideStart + 30) ? 1 : 0;
            if (i == 0) expected = 1;
            if (i == 30 || i == call) expected = 2;
            EXPECT_EQ(counts[i], expected) << "case at line " << c.line << ", call " << i;
        }
    }
}

TEST(TransitionEngine, ZeroDisplaySetsTheHideUpOnTheCompletionCall)
{
    Engine e;
    e.Use({2});
    for (int i = 0; i < 30; ++i) e.Step();
    EXPECT_EQ(e.s.cy, 580);
    EXPECT_EQ(e.Step(), 0);   // call 30: whole picture, then the hide set-up of kind 2
    ASSERT_EQ(draws.count, 2u);
    EXPECT_EQ(draws.items[0].op, DrawCopy);
    EXPECT_EQ(draws.items[0].cx, 800);
    EXPECT_EQ(draws.items[0].cy, 600);
    EXPECT_EQ(e.s.cy, 0);     // the hide's set-up, not the completion's cy = H
    EXPECT_EQ(e.s.cx, 800);
    e.Step();                 // call 31: first hide frame
    ASSERT_EQ(draws.count, 2u);
    EXPECT_EQ(draws.items[0].op, DrawFill);
    EXPECT_EQ(draws.items[0].cy, 10);
}

TEST(TransitionEngine, CompletionResetsTheGeometryWhenTheHideComesLater)
{
    Engine e;
    e.Use({4});
    e.in.display = 5;
    for (int i = 0; i <= 30; ++i) e.Step();
    EXPECT_EQ(e.s.x, 0);
    EXPECT_EQ(e.s.y, 0);
    EXPECT_EQ(e.s.cx, 800);
    EXPECT_EQ(e.s.cy, 600);
}

TEST(TransitionEngine, CallAfterAFinishStartsANewItem)
{
    Engine e;
    e.Use({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    SeedRandom(99);
    while (e.Step() == 0) {
    }
    SeedRandom(5);
    int r = NextRandom();
    SeedRandom(5);
    e.Step();
    EXPECT_EQ(e.s.frameIndex, 1);
    EXPECT_EQ(e.s.kind, ScaleRandom(r, 15));
    ASSERT_GE(draws.count, 1u);
    EXPECT_EQ(draws.items[0].op, DrawFill);
    EXPECT_EQ(draws.items[0].cx, 800);
    EXPECT_EQ(draws.items[0].cy, 600);
}

TEST(TransitionEngine, PicksIndexTheListWithOneDrawEach)
{
    struct Case {
        int line;
        int r;
        std::vector<uint16_t> kinds;
        uint16_t expected;
    } const cases[] = {
        {__LINE__, 32767, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 14},
        {__LINE__, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 0},
        {__LINE__, 32767, {7, 3, 11}, 11},
        {__LINE__, 16384, {7, 3}, 3},
        {__LINE__, 16383, {7, 3}, 7},
        {__LINE__, 32767, {9}, 9},
    };
    for (const Case& c : cases) {
        Engine e;
        for (size_t i = 0; i < c.kinds.size(); ++i) e.list[i] = c.kinds[i];
        e.in.fadeCount = static_cast<uint16_t>(c.kinds.size());
        SeedRandom(SeedGiving(c.r));
        e.Step();
        EXPECT_EQ(e.s.kind, c.expected) << "case at line " << c.line;
    }
}

TEST(TransitionEngine, HideKindIsAFreshPickUnlessFadeInOut)
{
    int differing = 0;
    int same = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        for (uint32_t fadeInOut : {0u, 1u}) {
            Engine e;
            e.Use({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
            e.in.fadeInOut = fadeInOut;
            e.in.display = 3;
            SeedRandom(seed);
            int first = NextRandom();
            int second = NextRandom();
            SeedRandom(seed);
            for (int i = 0; i <= 30; ++i) e.Step();
            const uint16_t revealKind = e.s.kind;
            ASSERT_EQ(revealKind, ScaleRandom(first, 15)) << "seed " << seed;
            for (int i = 31; i <= 33; ++i) e.Step();   // call 33 = D + 30, the hide set-up
            if (fadeInOut) {
                EXPECT_EQ(e.s.kind, revealKind) << "seed " << seed;
            } else {
                EXPECT_EQ(e.s.kind, ScaleRandom(second, 15)) << "seed " << seed;
                (e.s.kind == revealKind ? same : differing)++;
            }
        }
    }
    EXPECT_GT(differing, 0);
    EXPECT_GT(same, 0);   // 60 seeds over 15 kinds: a repeat is expected and allowed
}

TEST(TransitionEngine, OneEntryListGivesThatKindBothTimes)
{
    for (uint32_t seed : {1u, 2u, 1000u, 123456u}) {
        Engine e;
        e.Use({12});
        SeedRandom(seed);
        for (int i = 0; i <= 30; ++i) e.Step();
        EXPECT_EQ(e.s.kind, 12);
        e.Step();
        EXPECT_EQ(e.s.kind, 12);
    }
}

TEST(TransitionEngine, KindAboveFourteenFallsBackToTheFirstEntry)
{
    // The last entry is picked (r = 32767) and is out of range.
    struct Case {
        int line;
        std::vector<uint16_t> kinds;
        uint16_t kind;
        uint16_t x, y, cx, cy;
    } const cases[] = {
        // Kind 0 reads only the fallback geometry.
        {__LINE__, {0, 20}, 0, 0, 0, 800, 0},
        // Another first entry runs its own set-up over the fallback.
        {__LINE__, {3, 15}, 3, 400, 0, 0, 600},
        {__LINE__, {9, 4, 99}, 9, 0, 0, 800, 0},
        // A first entry out of range too: the plain wipe.
        {__LINE__, {20}, 0, 0, 0, 800, 0},
        {__LINE__, {65535, 300}, 0, 0, 0, 800, 0},
    };
    const uint32_t lastEntry = SeedGiving(32767);
    for (const Case& c : cases) {
        Engine e;
        for (size_t i = 0; i < c.kinds.size(); ++i) e.list[i] = c.kinds[i];
        e.in.fadeCount = static_cast<uint16_t>(c.kinds.size());
        e.s.x = e.s.y = e.s.cx = e.s.cy = 77;
        SeedRandom(lastEntry);
        e.Step();
        EXPECT_EQ(e.s.kind, c.kind) << "case at line " << c.line;
        EXPECT_EQ(e.s.x, c.x) << "case at line " << c.line;
        EXPECT_EQ(e.s.y, c.y) << "case at line " << c.line;
        EXPECT_EQ(e.s.cx, c.cx) << "case at line " << c.line;
        EXPECT_EQ(e.s.cy, c.cy) << "case at line " << c.line;
        if (c.kind == 9) EXPECT_EQ(e.s.stripeH, 30.0) << "case at line " << c.line;

        // The hide set-up repairs a fresh out-of-range pick the same way.
        for (int i = 1; i <= 29; ++i) e.Step();
        SeedRandom(lastEntry);
        e.Step();
        EXPECT_EQ(e.s.kind, c.kind) << "hide, case at line " << c.line;
        if (c.kind == 0) {
            EXPECT_EQ(e.s.cx, 800) << "hide, case at line " << c.line;
            EXPECT_EQ(e.s.cy, 0) << "hide, case at line " << c.line;
        }
    }
}

TEST(TransitionEngine, FadeCountOutsideTheTableNeverIndexesPastIt)
{
    for (uint16_t count : {uint16_t(0), uint16_t(17), uint16_t(40), uint16_t(65535)}) {
        Engine e;
        for (int i = 0; i < 64; ++i) e.list[i] = i < 16 ? 5 : 13;
        e.in.fadeCount = count;
        for (uint32_t seed = 0; seed < 200; ++seed) {
            SeedRandom(seed);
            e.s = TransitionState{};
            e.Step();
            ASSERT_EQ(e.s.kind, 5) << "count " << count << ", seed " << seed;
        }
    }
}

TEST(TransitionEngine, HugeDisplayStopsShortOfTheCounterLimit)
{
    EXPECT_EQ(EffectiveDisplay(100), 100u);
    EXPECT_EQ(EffectiveDisplay(0x7FFFFFC1u), 0x7FFFFFC1u);
    EXPECT_EQ(EffectiveDisplay(0x7FFFFFC2u), 0x7FFFFFC1u);
    EXPECT_EQ(EffectiveDisplay(0xFFFFFFFFu), 0x7FFFFFC1u);

    // The last stretch of an item held as long as can be: the hide and the
    // finish come on time and the counter never turns negative.
    for (uint32_t display : {0x7FFFFFC1u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Engine e;
        e.Use({1});
        e.in.display = display;
        e.Step();
        const int32_t hideStart = static_cast<int32_t>(0x7FFFFFC1u) + 30;
        e.s.frameIndex = hideStart - 1;
        int calls = 0;
        int hideFrames = 0;
        while (true) {
            int done = e.Step();
            ++calls;
            if (done) break;
            ASSERT_GT(e.s.frameIndex, 0);
            if (draws.count == 1 && draws.items[0].op == DrawFill) ++hideFrames;
            ASSERT_LT(calls, 100);
        }
        EXPECT_EQ(calls, 33) << display;   // hold, hide set-up, 30 hide frames, finish
        EXPECT_EQ(hideFrames, 30) << display;
        EXPECT_EQ(e.s.frameIndex, 0) << display;
    }
}

TEST(TransitionEngine, NamesAreFifteenCodedSlots)
{
    for (int kind = 0; kind < kTransitionKinds; ++kind) {
        const char* name = kTransitionNames[kind];
        EXPECT_EQ(name[0], '0' + kind / 10) << kind;
        EXPECT_EQ(name[1], '0' + kind % 10) << kind;
        EXPECT_EQ(name[2], ' ') << kind;
        EXPECT_LT(std::strlen(name), static_cast<size_t>(kTransitionNameSize)) << kind;
        EXPECT_GT(std::strlen(name), 4u) << kind;
    }
    EXPECT_STREQ(kTransitionNames[0], "00 \x96\x8B\x8A\x4A\x82\xAB");   // 00 幕開き
    EXPECT_STREQ(kTransitionNames[11],
                 "11 \x8F\x63\x89\xA1\x83\x58\x83\x67\x83\x89\x83\x43\x83\x76");   // 11 縦横ストライプ, the longest
}
