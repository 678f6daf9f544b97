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
#include "saver/common/retired_hosts.h"

enum {
    // How long a host may take over one answer, its start included. Long
    // enough for a cold start on a busy machine, short enough that a hung
    // plug-in costs the show only a moment.
    kPluginAnswerLimitMs = 5000,
    // How long a released host may take over letting its library go, in
    // the show as at the saver's end.
    kPluginReleaseLimitMs = 2000,
    kRetiredHostSlots = 4,
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

// Sends the host the request to let go of its library (with force, or
// when it cannot take the request, ends it instead) and hands it to a
// free retired slot to be watched until it has ended; with no slots
// given, waits for its end here, at most kPluginReleaseLimitMs. The link
// is empty afterwards.
void ReleasePluginHost(PluginHostLink* link, RetiredHost* retired, int slots, bool force = false);
// Ends the host at once, without waiting, and empties the link.
void EndPluginHost(PluginHostLink* link);
// Closes the retired hosts that have ended and ends those whose time is
// up. closing: the caller is going away, so waits for each until its
// time is up instead of looking only.
void TendRetiredHosts(RetiredHost* retired, int slots, bool closing);
// True while a retired host has not ended: its library may still be
// loaded, and a new host must not load it again meanwhile.
bool RetiredHostsEnding(const RetiredHost* retired, int slots);

// While a visible window of the host answers at once (a settings dialog
// the user works in), moves the answer's deadline to limitMs from now; a
// host that shows nothing, or whose windows hang, keeps its deadline.
void ExtendWhileWindowsAnswer(PluginHostLink* link, DWORD limitMs);

// The test seam for the answer limit: 0 puts back kPluginAnswerLimitMs.
void SetPluginAnswerLimit(DWORD ms);
DWORD PluginAnswerLimit();
