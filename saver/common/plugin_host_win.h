// A TextGenDLL runs in a host process of its own (KELMTG64.EXE or
// KELMTG32.EXE, whichever can load it), never inside the saver: the saver
// sends a request and goes on with its tick, and looks for the answer on
// later ticks. A host that faults, hangs or exits only costs its answer.
// Every host is in a job that ends it when the job's last handle closes,
// so none outlives the process that started it, however that ends.
#pragma once
#include <windows.h>
#include <cstdint>

#include "common/plugin_wire.h"

enum {
    // How long a host may take over one answer, its start included. Long
    // enough for a cold start on a busy machine, short enough that a hung
    // plug-in costs the show only a moment.
    kPluginAnswerLimitMs = 5000,
    // How long a released host may take over letting its library go.
    kPluginReleaseLimitMs = 2000,
    kRetiredHostSlots = 4,
    kPluginClosingGraceMs = 500,   // for hosts still letting go when the saver ends
    kPluginNoAnswer = 45,   // Em045
};

struct PluginHostLink {
    HANDLE process;
    HANDLE job;
    HANDLE toHost;
    HANDLE fromHost;
    DWORD processId;
    uint16_t awaiting;      // kind of the answer expected; 0: none
    ULONGLONG deadline;     // 0: no limit (a settings dialog the user works in)
    uint8_t header[kWireHeaderSize];
    uint32_t headerGot;
    uint16_t kind;          // of the answer being read
    uint8_t* body;
    uint32_t bodyLength;
    uint32_t bodyGot;
};

// A host asked to end, watched until it has or its time is up.
struct RetiredHost {
    HANDLE process;
    HANDLE job;
    ULONGLONG deadline;
};

enum HostPoll { HostWaiting, HostAnswered, HostFailed };

// Starts the host that can load the library at path and sends it the
// request to open it (and to name its procedures when askNames). 0, or 40
// when the file is no library of a processor this computer runs, or no
// host could be started.
int StartPluginHost(PluginHostLink* link, const wchar_t* path, bool askNames, DWORD limitMs);

// One request; its answer is awaited from now on. limitMs 0: no limit.
bool SendPluginRequest(PluginHostLink* link, uint16_t kind, const void* body, uint32_t length,
                       DWORD limitMs);

// Never blocks. HostAnswered: link->kind, link->body and link->bodyLength
// hold the answer until DropPluginAnswer. HostFailed: the host died, broke
// the framing or ran out of time; end it with EndPluginHost.
HostPoll PollPluginHost(PluginHostLink* link);
void DropPluginAnswer(PluginHostLink* link);

// Sends the host the request to let go of its library and hands it to a
// free retired slot (or, with none given, waits for it a little here);
// the link is empty afterwards.
void ReleasePluginHost(PluginHostLink* link, RetiredHost* retired, int slots);
// Ends the host at once and empties the link.
void EndPluginHost(PluginHostLink* link);
// Closes the retired hosts that have ended or whose time is up. With a
// grace time, waits at most that long in all for them to end and then
// ends the rest: the caller is going away.
void TendRetiredHosts(RetiredHost* retired, int slots, DWORD graceMs);

// The test seam for the answer limit: 0 puts back kPluginAnswerLimitMs.
void SetPluginAnswerLimit(DWORD ms);
DWORD PluginAnswerLimit();
