#include <gtest/gtest.h>

#include "saver/common/retired_hosts.h"

#include <algorithm>
#include <string>

namespace {
const uint64_t kNever = UINT64_MAX;

// One host that ends of itself at endsAt, on a clock that waits move.
struct Scripted { uint64_t clock, endsAt; std::string done; /* what was done to the host, in order */ };
Scripted& S(void* c) { return *static_cast<Scripted*>(c); }
uint64_t Now(void* c) { return S(c).clock; }
bool Ended(void* c, void*, uint32_t wait)
{
    const bool ends = S(c).endsAt <= S(c).clock + wait;
    S(c).clock = ends ? std::max(S(c).clock, S(c).endsAt) : S(c).clock + wait;
    return ends;
}
void End(void* c, void*) { S(c).done += "ended;"; }
void Close(void* c, void*, void*) { S(c).done += "closed;"; }
}

// Every row's host has until 3000 to let go of its library.
TEST(RetiredHosts, EachHostHasItsTimeToLetGoAndIsEndedOnlyOnceItIsUp)
{
    const struct { int line; uint64_t endsAt, now; bool closing; const char* done; uint64_t clockAfter; bool held; } rows[] = {
        {__LINE__, 2500, 2000, false, "", 2000, true},   // still letting go: a new host waits
        {__LINE__, 2000, 2000, false, "closed;", 2000, false},   {__LINE__, kNever, 2999, false, "", 2999, true},
        {__LINE__, kNever, 3000, false, "ended;closed;", 3000, false},
        // The saver's end waits for each up to its own time, no longer.
        {__LINE__, 2999, 2000, true, "closed;", 2999, false},
        {__LINE__, kNever, 2000, true, "ended;closed;", 3000, false}, {__LINE__, kNever, 3500, true, "ended;closed;", 3500, false},
    };
    for (const auto& r : rows) {
        Scripted s = {r.now, r.endsAt, ""};
        const RetireCalls calls = {&s, Now, Ended, End, Close};
        RetiredHost slots[2] = {};
        int host = 0;
        ASSERT_TRUE(RetireHost(slots, 2, &host, nullptr, 3000));
        EXPECT_EQ(AnyRetiredRunning(slots, 2, &calls), r.endsAt > r.now) << "line " << r.line;
        TendRetired(slots, 2, r.closing, &calls);
        EXPECT_EQ(s.done, r.done) << "line " << r.line;
        EXPECT_EQ(s.clock, r.clockAfter) << "line " << r.line;
        EXPECT_EQ(slots[0].process != nullptr, r.held) << "line " << r.line;
        EXPECT_EQ(AnyRetiredRunning(slots, 2, &calls), r.held) << "line " << r.line;
    }
    RetiredHost two[2] = {};
    int a = 0, b = 0, c = 0;
    EXPECT_TRUE(RetireHost(two, 2, &a, nullptr, 1) && RetireHost(two, 2, &b, nullptr, 1));
    EXPECT_FALSE(RetireHost(two, 2, &c, nullptr, 1));
    EXPECT_TRUE(two[0].process == &a && two[1].process == &b);
}
