#include "saver/common/plugin_host_win.h"
#include "saver/common/plugin_machine.h"

#include <cstring>
#include <cwchar>

namespace {
DWORD answerLimit = 0;   // 0: kPluginAnswerLimitMs

const wchar_t* HostName(PluginMachine machine)
{
    return machine == PluginX86 ? L"KELMTG32.EXE" : L"KELMTG64.EXE";
}

PluginMachine MachineOf(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return PluginNotRunnable;
    PluginMachine machine = PluginNotRunnable;
    uint8_t head[kDosHeaderSize];
    uint8_t signature[kPeSignatureBytes];
    DWORD got = 0;
    if (ReadFile(file, head, sizeof head, &got, nullptr)) {
        const uint32_t offset = PeHeaderOffset(head, got);
        LARGE_INTEGER at;
        at.QuadPart = offset;
        if (offset && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
            ReadFile(file, signature, sizeof signature, &got, nullptr) && got == sizeof signature)
            machine = PeMachine(signature);
    }
    CloseHandle(file);
    return machine;
}

// A 32-bit saver can start the 64-bit host only where Windows is 64-bit;
// the other way round the attempt itself tells.
bool MachineRuns(PluginMachine machine)
{
    if (machine == PluginNotRunnable) return false;
    if (sizeof(void*) == 8 || machine == PluginX86) return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The hosts lie beside the program that starts them.
bool HostPath(PluginMachine machine, wchar_t* path, DWORD size)
{
    DWORD n = GetModuleFileNameW(nullptr, path, size);
    if (n == 0 || n >= size) return false;
    wchar_t* slash = std::wcsrchr(path, L'\\');
    if (!slash) return false;
    const wchar_t* name = HostName(machine);
    if (static_cast<size_t>(slash + 1 - path) + std::wcslen(name) + 1 > size) return false;
    std::wcscpy(slash + 1, name);
    return true;
}

void CloseField(HANDLE* handle)
{
    if (*handle) CloseHandle(*handle);
    *handle = nullptr;
}

HANDLE EndingJob()
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    std::memset(&limits, 0, sizeof limits);
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Starts the host with exactly its two pipe ends inherited: nothing else
// of the saver's (its files, its other pipes) reaches the plug-in.
bool Launch(PluginHostLink* link, const wchar_t* hostPath)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE hostReads = nullptr, hostWrites = nullptr;
    if (!CreatePipe(&hostReads, &link->toHost, &inherit, 0x10000)) return false;
    if (!CreatePipe(&link->fromHost, &hostWrites, &inherit, 0x10000)) {
        CloseHandle(hostReads);
        return false;
    }
    SetHandleInformation(link->toHost, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(link->fromHost, HANDLE_FLAG_INHERIT, 0);

    wchar_t commandLine[MAX_PATH + 64];
    _snwprintf(commandLine, sizeof commandLine / sizeof commandLine[0], L"\"%ls\" %llu %llu", hostPath,
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hostReads)),
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hostWrites)));
    commandLine[sizeof commandLine / sizeof commandLine[0] - 1] = L'\0';

    STARTUPINFOEXW start;
    std::memset(&start, 0, sizeof start);
    start.StartupInfo.cb = sizeof start;
    // No standard handles: what a plug-in prints goes nowhere.
    start.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    HANDLE inherited[2] = {hostReads, hostWrites};
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    LPPROC_THREAD_ATTRIBUTE_LIST list =
        listSize ? static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(HeapAlloc(GetProcessHeap(), 0, listSize)) : nullptr;
    DWORD flags = CREATE_SUSPENDED;
    if (list && InitializeProcThreadAttributeList(list, 1, 0, &listSize)) {
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited,
                                      nullptr, nullptr)) {
            start.lpAttributeList = list;
            start.StartupInfo.cb = sizeof(STARTUPINFOEXW);
            flags |= EXTENDED_STARTUPINFO_PRESENT;
        }
    }
    PROCESS_INFORMATION child;
    std::memset(&child, 0, sizeof child);
    const BOOL started =
        CreateProcessW(hostPath, commandLine, nullptr, nullptr, TRUE, flags, nullptr, nullptr, &start.StartupInfo, &child);
    if (list) {
        if (start.lpAttributeList) DeleteProcThreadAttributeList(list);
        HeapFree(GetProcessHeap(), 0, list);
    }
    CloseHandle(hostReads);
    CloseHandle(hostWrites);
    if (!started) return false;
    link->process = child.hProcess;
    link->processId = child.dwProcessId;
    link->job = EndingJob();
    // Where the job cannot take it (an older system whose saver already
    // runs in a job), the host still ends when its pipe breaks.
    if (link->job && !AssignProcessToJobObject(link->job, child.hProcess)) CloseField(&link->job);
    ResumeThread(child.hThread);
    CloseHandle(child.hThread);
    return true;
}

void EmptyLink(PluginHostLink* link)
{
    DropPluginAnswer(link);
    CloseField(&link->toHost);
    CloseField(&link->fromHost);
    CloseField(&link->process);
    CloseField(&link->job);
    std::memset(link, 0, sizeof *link);
}

// Reads what the pipe holds of the answer, never more than it promises
// and never waiting. False when the pipe is broken or the framing wrong.
bool ReadAvailable(PluginHostLink* link)
{
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(link->fromHost, nullptr, 0, nullptr, &available, nullptr)) return false;
        if (available == 0) return true;
        uint8_t* into;
        DWORD want;
        if (link->headerGot < kWireHeaderSize) {
            into = link->header + link->headerGot;
            want = kWireHeaderSize - link->headerGot;
        } else {
            into = link->body + link->bodyGot;
            want = link->bodyLength - link->bodyGot;
        }
        if (want > available) want = available;
        DWORD got = 0;
        if (want && (!ReadFile(link->fromHost, into, want, &got, nullptr) || got == 0)) return false;
        if (link->headerGot < kWireHeaderSize) {
            link->headerGot += got;
            if (link->headerGot < kWireHeaderSize) continue;
            WireHeader h;
            if (!WireReadHeader(link->header, false, &h) || h.kind != link->awaiting) return false;
            link->kind = h.kind;
            link->bodyLength = h.length;
            link->body = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, h.length ? h.length : 1));
            if (!link->body) return false;
        } else {
            link->bodyGot += got;
        }
        if (link->headerGot == kWireHeaderSize && link->bodyGot == link->bodyLength) return true;
    }
}
}

namespace {
// Long enough for a busy window to answer, short enough for the page that
// asks to stay alive.
const UINT kWindowAnswerMs = 250;

struct WindowProbe {
    DWORD processId;
    bool answered;
};

BOOL CALLBACK ProbeWindow(HWND window, LPARAM param)
{
    WindowProbe* probe = reinterpret_cast<WindowProbe*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != probe->processId || !IsWindowVisible(window)) return TRUE;
    DWORD_PTR result = 0;
    probe->answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWindowAnswerMs, &result) != 0;
    return probe->answered ? FALSE : TRUE;
}
}

void ExtendWhileWindowsAnswer(PluginHostLink* link, DWORD limitMs)
{
    if (!link->awaiting || !link->deadline || !link->processId) return;
    // Asked only once half the time has gone, not on every round.
    if (GetTickCount64() + limitMs / 2 < link->deadline) return;
    WindowProbe probe = {link->processId, false};
    EnumWindows(ProbeWindow, reinterpret_cast<LPARAM>(&probe));
    if (probe.answered) link->deadline = GetTickCount64() + limitMs;
}

void SetPluginAnswerLimit(DWORD ms) { answerLimit = ms; }
DWORD PluginAnswerLimit() { return answerLimit ? answerLimit : static_cast<DWORD>(kPluginAnswerLimitMs); }

int StartPluginHost(PluginHostLink* link, const wchar_t* path, bool askNames, DWORD limitMs)
{
    EmptyLink(link);
    const PluginMachine machine = MachineOf(path);
    wchar_t hostPath[MAX_PATH];
    if (!MachineRuns(machine) || !HostPath(machine, hostPath, MAX_PATH)) return 40;
    const size_t units = std::wcslen(path);
    if (units == 0 || units > kWirePathUnitsMax) return 40;
    if (!Launch(link, hostPath)) {
        EmptyLink(link);
        return 40;
    }
    uint8_t* body = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, 4 + units * 2));
    bool sent = false;
    if (body) {
        WirePutU32(body, askNames ? 1 : 0);
        for (size_t i = 0; i < units; ++i) {
            body[4 + 2 * i] = static_cast<uint8_t>(path[i] & 0xFF);
            body[5 + 2 * i] = static_cast<uint8_t>(path[i] >> 8);
        }
        sent = SendPluginRequest(link, kWireOpen, body, static_cast<uint32_t>(4 + units * 2), limitMs);
        HeapFree(GetProcessHeap(), 0, body);
    }
    if (!sent) {
        EndPluginHost(link);
        return 40;
    }
    return 0;
}

bool SendPluginRequest(PluginHostLink* link, uint16_t kind, const void* body, uint32_t length, DWORD limitMs)
{
    if (!link->toHost || link->awaiting) return false;
    const size_t size = kWireHeaderSize + length;
    uint8_t* message = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!message) return false;
    const size_t written = WirePut(message, size, kind, body, length, nullptr, 0);
    DWORD put = 0;
    const bool sent = written && WriteFile(link->toHost, message, static_cast<DWORD>(written), &put, nullptr) &&
                      put == written;
    HeapFree(GetProcessHeap(), 0, message);
    if (!sent) return false;
    switch (kind) {
    case kWireOpen:
        link->awaiting = kWireOpened;
        break;
    case kWireCall:
        link->awaiting = kWireText;
        break;
    case kWireConfigure:
        link->awaiting = kWireConfigured;
        break;
    default:
        link->awaiting = 0;
    }
    link->deadline = limitMs ? GetTickCount64() + limitMs : 0;
    return true;
}

HostPoll PollPluginHost(PluginHostLink* link)
{
    if (!link->awaiting) return HostFailed;
    if (!ReadAvailable(link)) return HostFailed;
    if (link->headerGot == kWireHeaderSize && link->bodyGot == link->bodyLength) {
        link->awaiting = 0;
        return HostAnswered;
    }
    if (WaitForSingleObject(link->process, 0) == WAIT_OBJECT_0) {
        // It may have written its last words just before ending.
        if (!ReadAvailable(link)) return HostFailed;
        if (link->headerGot == kWireHeaderSize && link->bodyGot == link->bodyLength) {
            link->awaiting = 0;
            return HostAnswered;
        }
        return HostFailed;
    }
    if (link->deadline && GetTickCount64() >= link->deadline) return HostFailed;
    return HostWaiting;
}

void DropPluginAnswer(PluginHostLink* link)
{
    if (link->body) HeapFree(GetProcessHeap(), 0, link->body);
    link->body = nullptr;
    link->bodyLength = link->bodyGot = link->headerGot = 0;
    link->kind = 0;
}

void EndPluginHost(PluginHostLink* link)
{
    if (link->process) TerminateProcess(link->process, 1);
    EmptyLink(link);
}

namespace {
uint64_t Now(void*) { return GetTickCount64(); }
bool Ended(void*, void* process, uint32_t waitMs) { return WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0; }
void EndProcess(void*, void* process) { TerminateProcess(process, 1); }
void CloseBoth(void*, void* process, void* job)
{
    CloseHandle(process);
    if (job) CloseHandle(job);
}
const RetireCalls kPlatformRetire = {nullptr, Now, Ended, EndProcess, CloseBoth};
}

void ReleasePluginHost(PluginHostLink* link, RetiredHost* retired, int slots, bool force)
{
    if (!link->process) {
        EmptyLink(link);
        return;
    }
    // A host still busy with an answer would read the request only when
    // done: it is ended instead.
    if (force || link->awaiting || !SendPluginRequest(link, kWireRelease, nullptr, 0, 0))
        TerminateProcess(link->process, 1);
    CloseField(&link->toHost);
    CloseField(&link->fromHost);
    if (RetireHost(retired, slots, link->process, link->job, GetTickCount64() + kPluginReleaseLimitMs)) {
        link->process = nullptr;
        link->job = nullptr;
    }
    // With every slot taken by a host that will not end, this one does not
    // get the chance either: the show must not wait for it.
    if (link->process && (slots > 0 || WaitForSingleObject(link->process, kPluginReleaseLimitMs) != WAIT_OBJECT_0))
        TerminateProcess(link->process, 1);
    EmptyLink(link);
}

void TendRetiredHosts(RetiredHost* retired, int slots, bool closing)
{
    TendRetired(retired, slots, closing, &kPlatformRetire);
}

bool RetiredHostsEnding(const RetiredHost* retired, int slots)
{
    return AnyRetiredRunning(retired, slots, &kPlatformRetire);
}
