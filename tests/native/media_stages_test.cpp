#include <gtest/gtest.h>

#include "saver/media/media_stages.h"

#include <set>
#include <vector>

namespace {
// The platform as a script: results handed out in order, and what is still
// open or alive afterwards.
struct Platform {
    std::vector<uint32_t> openResults;   // one per open attempt; 0 when run out
    size_t opens = 0;
    uint32_t whereResult = 0, showResult = 0, playResult = 0;
    bool windowFails = false;
    uint16_t corner = 0;
    uint32_t nextDevice = 7;
    std::set<uint32_t> devices;          // open devices
    std::set<uint32_t> stopped;
    int windows = 0;                     // windows alive
    std::vector<int> reports;
};

Platform& P(void* c) { return *static_cast<Platform*>(c); }

uint32_t Open(void* c, uint32_t* id)
{
    Platform& p = P(c);
    uint32_t r = p.opens < p.openResults.size() ? p.openResults[p.opens] : 0;
    if (++p.opens, r == 0) p.devices.insert(*id = p.nextDevice++);
    return r;
}

MediaCalls Calls(Platform* p)
{
    MediaCalls c = {};
    c.context = p;
    c.openSong = Open;
    c.openVideo = Open;
    c.videoSize = [](void* c, uint32_t, int32_t* w, int32_t* h) { *w = 160; *h = 120; return P(c).whereResult; };
    c.createVideoWindow = [](void* c, int, int, int, int) -> void* {
        if (P(c).windowFails) return nullptr;
        return reinterpret_cast<void*>(static_cast<intptr_t>(++P(c).windows));
    };
    c.showVideoIn = [](void* c, uint32_t, void*) { return P(c).showResult; };
    c.play = [](void* c, uint32_t) { return P(c).playResult; };
    c.stop = [](void* c, uint32_t id) { P(c).stopped.insert(id); };
    c.close = [](void* c, uint32_t id) { P(c).devices.erase(id); };
    c.destroyWindow = [](void* c, void*) { --P(c).windows; };
    c.report = [](void* c, int code) { P(c).reports.push_back(code); };
    c.randomIndex = [](void* c, uint16_t) { return P(c).corner; };
    return c;
}

int SlotsInUse(const MediaState& m)
{
    int n = 0;
    for (const AviSlot& s : m.aviSlots) n += s.inUse;
    return n;
}

// Ticks one video item until it lets the show go on; gives the tick count.
int RunVideo(MediaState* m, Platform* p, uint32_t aviPlay = 2)
{
    MediaCalls c = Calls(p);
    for (int tick = 1; tick <= 100; ++tick)
        if (VideoTick(m, aviPlay, 1, 640, 480, &c) == 0) return tick;
    return -1;
}
}

TEST(MediaStages, OpenRetriesAndTheirOutcome)
{
    const uint32_t E = 263;   // any open error but "not installed"
    struct Row {
        int line;
        std::vector<uint32_t> opens;
        int ticks;
        bool plays;
        std::vector<int> reports;
    } rows[] = {
        {__LINE__, {0}, 1, true, {}},
        {__LINE__, {306}, 1, false, {27}},
        {__LINE__, {E, 0}, 11, true, {}},
        {__LINE__, {E, E, 0}, 21, true, {}},
        {__LINE__, {E, E, E}, 21, false, {}},
        // "Not installed" at a retry is one more failed attempt: on to
        // the last retry, which ends the item silently.
        {__LINE__, {E, 306, 0}, 21, true, {}},
        {__LINE__, {E, 306, 306}, 21, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        MediaState m = {};
        Platform p;
        p.openResults = row.opens;
        EXPECT_EQ(RunVideo(&m, &p), row.ticks);
        EXPECT_EQ(p.opens, row.opens.size());
        EXPECT_EQ(SlotsInUse(m), row.plays ? 1 : 0);
        EXPECT_EQ(p.devices.size(), row.plays ? 1u : 0u);
        EXPECT_EQ(p.reports, row.reports);
        EXPECT_EQ(m.aviOpenStage, 0u);
    }
}

TEST(MediaStages, FailureAfterOpenLeavesNoDeviceOrWindow)
{
    struct Row {
        int line;
        uint32_t where, show, play;
        bool windowFails;
        int report;
    } rows[] = {
        {__LINE__, 277, 0, 0, false, 28},
        {__LINE__, 0, 0, 0, true, 28},
        {__LINE__, 0, 277, 0, false, 28},
        {__LINE__, 0, 0, 277, false, 29},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        MediaState m = {};
        Platform p;
        p.whereResult = row.where;
        p.showResult = row.show;
        p.playResult = row.play;
        p.windowFails = row.windowFails;
        EXPECT_EQ(RunVideo(&m, &p), 1);
        EXPECT_EQ(p.reports, std::vector<int>{row.report});
        EXPECT_TRUE(p.devices.empty());
        EXPECT_EQ(p.windows, 0);
        EXPECT_EQ(SlotsInUse(m), 0);
    }
}

TEST(MediaStages, RandomCornerKeptWhenFreeElseLowestFree)
{
    struct Row {
        int line;
        std::vector<uint16_t> taken;
        uint16_t random, expected;
    } rows[] = {
        {__LINE__, {}, 2, 2},
        {__LINE__, {2}, 2, 0},
        {__LINE__, {0, 2}, 0, 1},
        {__LINE__, {3, 0, 1}, 1, 2},
        {__LINE__, {1}, 3, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        MediaState m = {};
        Platform p;
        for (uint16_t c : row.taken) OccupySlot(&m, 4, 100 + c, c, nullptr);
        p.corner = row.random;
        RunVideo(&m, &p, 4);
        EXPECT_EQ(m.aviSlots[row.taken.size()].corner, row.expected);
    }
}

TEST(MediaStages, VideoTooLargeForTheScreenKeepsItsTopLeftOnIt)
{
    struct Row {
        int line;
        uint16_t corner;
        int32_t w, h;
        uint16_t x, y;
    } rows[] = {{__LINE__, 3, 160, 120, 481, 361}, {__LINE__, 1, 800, 120, 1, 1}, {__LINE__, 3, 640, 900, 1, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        CornerPlace at = CornerPosition(row.corner, 640, 480, row.w, row.h);
        EXPECT_EQ(at.x, row.x);
        EXPECT_EQ(at.y, row.y);
    }
}

TEST(MediaStages, StoredVideoCountBoundsTheSlotsUsed)
{
    struct Row {
        int line;
        uint32_t aviPlay;
        int playing;
    } rows[] = {
        {__LINE__, 1, 1}, {__LINE__, 2, 2}, {__LINE__, 4, 4}, {__LINE__, 9, 4}, {__LINE__, 0, 0}, {__LINE__, 0xFFFFFFFFu, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        MediaState m = {};
        Platform p;
        for (int item = 0; item < 20; ++item) EXPECT_EQ(RunVideo(&m, &p, row.aviPlay), 1);
        EXPECT_EQ(SlotsInUse(m), row.playing);
        EXPECT_EQ(p.opens, static_cast<size_t>(row.playing));
        std::set<uint16_t> corners;
        for (const AviSlot& s : m.aviSlots)
            if (s.inUse) corners.insert(s.corner);
        EXPECT_EQ(corners.size(), static_cast<size_t>(row.playing));
    }
}

TEST(MediaStages, SongsAndVideosEndByReportOrAtTheClose)
{
    MediaState m = {};
    Platform p;
    MediaCalls c = Calls(&p);
    p.openResults = {275};
    SongTick(&m, 1, &c);   // Em022, nothing kept
    p.playResult = 277;
    SongTick(&m, 1, &c);   // Em023, the device stays
    EXPECT_EQ(p.reports, (std::vector<int>{22, 23}));
    MediaFinished(&m, m.midiDevice, &c);
    p.playResult = 0;
    SongTick(&m, 0, &c);   // a busy port keeps songs silent
    SongTick(&m, 1, &c);
    uint32_t song = m.midiDevice;
    SongTick(&m, 1, &c);   // one song at a time
    EXPECT_EQ(m.midiDevice, song);
    EXPECT_EQ(p.opens, 3u);

    RunVideo(&m, &p);
    RunVideo(&m, &p);
    EXPECT_EQ(RunVideo(&m, &p), 1);   // both slots taken: passed over
    EXPECT_EQ(p.opens, 5u);
    MediaFinished(&m, 0, &c);
    MediaFinished(&m, m.aviSlots[0].deviceId, &c);
    EXPECT_EQ(SlotsInUse(m), 1);
    EXPECT_EQ(p.windows, 1);
    RunVideo(&m, &p);
    EXPECT_EQ(SlotsInUse(m), 2);

    std::set<uint32_t> open = p.devices;
    StopMedia(&m, &c);
    EXPECT_EQ(open.size(), 3u);
    EXPECT_EQ(p.stopped, open);
    EXPECT_TRUE(p.devices.empty());
    EXPECT_EQ(p.windows, 0);
    EXPECT_EQ(m.midiDevice, 0u);
    EXPECT_EQ(SlotsInUse(m), 0);
}
