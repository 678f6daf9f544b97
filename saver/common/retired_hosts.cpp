#include "saver/common/retired_hosts.h"

bool RetireHost(RetiredHost* slots, int count, void* process, void* job, uint64_t deadline)
{
    for (int i = 0; i < count; ++i) {
        if (slots[i].process) continue;
        slots[i].process = process;
        slots[i].job = job;
        slots[i].deadline = deadline;
        return true;
    }
    return false;
}

void TendRetired(RetiredHost* slots, int count, bool closing, const RetireCalls* calls)
{
    for (int i = 0; i < count; ++i) {
        RetiredHost* r = &slots[i];
        if (!r->process) continue;
        const uint64_t now = calls->now(calls->context);
        const uint64_t left = now < r->deadline ? r->deadline - now : 0;
        const uint32_t wait = closing ? static_cast<uint32_t>(left > 0xFFFFFFFEu ? 0xFFFFFFFEu : left) : 0;
        const bool ended = calls->ended(calls->context, r->process, wait);
        if (!ended && !closing && left > 0) continue;
        if (!ended) calls->end(calls->context, r->process);
        calls->close(calls->context, r->process, r->job);
        *r = RetiredHost();
    }
}

bool AnyRetiredRunning(const RetiredHost* slots, int count, const RetireCalls* calls)
{
    for (int i = 0; i < count; ++i)
        if (slots[i].process && !calls->ended(calls->context, slots[i].process, 0)) return true;
    return false;
}
