// Plug-in hosts asked to let go of their library, watched until they have
// ended: which may be waited for, which must be ended, and whether a new
// host may start meanwhile. The waits and ends are the platform's, behind
// RetireCalls, so that every path can be scripted.
#pragma once
#include <cstdint>

struct RetiredHost {
    void* process;       // null: the slot is free
    void* job;
    uint64_t deadline;   // on the calls' clock: ended if still running then
};

struct RetireCalls {
    void* context;
    uint64_t (*now)(void* context);
    // True once the process has ended, waiting at most waitMs for it.
    bool (*ended)(void* context, void* process, uint32_t waitMs);
    void (*end)(void* context, void* process);
    void (*close)(void* context, void* process, void* job);
};

// Puts the host into a free slot; false when every slot is taken.
bool RetireHost(RetiredHost* slots, int count, void* process, void* job, uint64_t deadline);

// Closes the hosts that have ended and ends those whose time is up.
// closing: the caller is going away, so each still gets the rest of its
// time, waited for here, before it is ended.
void TendRetired(RetiredHost* slots, int count, bool closing, const RetireCalls* calls);

// True while a host in the slots has not ended: its library may still be
// loaded, and no new host may load it again meanwhile.
bool AnyRetiredRunning(const RetiredHost* slots, int count, const RetireCalls* calls);
