// What the test plug-ins share: blocks handed over as the host expects
// them, and a trail of the procedures called, kept in an environment
// variable of the process so that the tests can read it after the plug-in
// has been unloaded, or, where TG_TRAIL names a file, appended to it (the
// plug-in then runs in a process of its own).
#pragma once
#include "kit/textgen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

inline HGLOBAL TgBlock(const void* bytes, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* p = block ? GlobalLock(block) : nullptr;
    if (p) {
        std::memcpy(p, bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

inline void TgNoteCall(const char* name)
{
    char trail[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TG_TRAIL", trail, sizeof trail);
    if (FILE* file = length > 0 && length < sizeof trail ? std::fopen(trail, "ab") : nullptr) {
        std::fprintf(file, "%s;", name);
        std::fclose(file);
        return;
    }
    char calls[512] = "";
    DWORD n = GetEnvironmentVariableA("TG_CALLS", calls, sizeof calls);
    if (n >= sizeof calls) calls[0] = '\0';
    if (std::strlen(calls) + std::strlen(name) + 2 < sizeof calls) {
        std::strcat(calls, name);
        std::strcat(calls, ";");
    }
    SetEnvironmentVariableA("TG_CALLS", calls);
}

// A number from the environment, or fallback when it is not set.
inline int TgSetting(const char* name, int fallback)
{
    char text[32];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 || n >= sizeof text) return fallback;
    return std::atoi(text);
}
