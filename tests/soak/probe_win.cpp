// Linked only into the soak build of the saver: a thread that writes, at a
// steady interval, what the process holds (memory, GDI objects, windows,
// kernel handles)
// to the file named by KELMORA_PROBE_LOG. Wine does not count GDI or USER
// objects per process, so they are counted here, from inside.
#include <windows.h>
#include <psapi.h>
#include "tests/common/gdi_count_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM data)
{
    ++*reinterpret_cast<long*>(data);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(data);
        EnumChildWindows(window, CountChild, data);
    }
    return TRUE;
}

long CountWindows()
{
    long windows = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Where the platform does not count them (Wine answers 0), every handle
// value is asked about in turn.
unsigned long CountHandles()
{
    DWORD counted = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted) return counted;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x40000; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++counted;
    return counted;
}

DWORD WINAPI ProbeThread(LPVOID)
{
    const char* path = getenv("KELMORA_PROBE_LOG");
    const char* seconds = getenv("KELMORA_PROBE_SECONDS");
    DWORD interval = seconds != nullptr ? static_cast<DWORD>(atoi(seconds)) * 1000 : 60000;
    if (interval == 0) interval = 60000;
    const bool gdiReal = GdiCountIsReal();
    for (DWORD elapsed = 0;; elapsed += interval) {
        PROCESS_MEMORY_COUNTERS memory;
        ZeroMemory(&memory, sizeof memory);
        K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        const unsigned long handles = CountHandles();
        FILE* log = fopen(path, "a");
        if (log != nullptr) {
            fprintf(log, "t=%lu rss_kib=%lu private_kib=%lu gdi=%ld windows=%ld handles=%lu\n",
                    static_cast<unsigned long>(elapsed / 1000),
                    static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                    static_cast<unsigned long>(memory.PagefileUsage / 1024), gdiReal ? CountGdiObjects() : -1L,
                    CountWindows(), handles);
            fclose(log);
        }
        Sleep(interval);
    }
}

// Started before the saver's own entry runs; the process ends it.
struct ProbeStarter {
    ProbeStarter()
    {
        if (getenv("KELMORA_PROBE_LOG") == nullptr) return;
        HANDLE thread = CreateThread(nullptr, 0, ProbeThread, nullptr, 0, nullptr);
        if (thread != nullptr) CloseHandle(thread);
    }
} probeStarter;
}
