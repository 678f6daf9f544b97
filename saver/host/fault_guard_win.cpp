// The guard around the run modes. A hardware fault is no C++ exception, so
// a catch clause never sees it; the clean-up that must not be skipped (the
// platform told the saver is no longer running) runs from the fault path
// itself, and the process ends with a code of its own.
#include "saver/host/host_win.h"

#include <cstdint>

namespace {
LONG volatile faultSeen = 0;
PVOID ownFaultHandler = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
uintptr_t ownStart = 0, ownEnd = 0;

// Faults that nothing in the saver handles: it has no exception handlers
// of its own, so one of these raised by its own code is always the end.
bool IsHardwareFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void EndAfterFault()
{
    // A second fault inside the clean-up must not loop back into it.
    if (InterlockedExchange(&faultSeen, 1) == 0) SetSaverRunning(0);
    // Nothing else of the process is trusted any more: no exit handlers,
    // no library detaching, only the code that says what happened.
    TerminateProcess(GetCurrentProcess(), kSaverFaultExitCode);
    for (;;) Sleep(INFINITE);
}

// First in line for faults of the module's own code. The platform calls
// window procedures from places that can swallow a fault and carry on in a
// broken state; this sees the fault before any of them.
LONG CALLBACK OwnCodeFault(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    uintptr_t at = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    if (IsHardwareFault(record->ExceptionCode) && at >= ownStart && at < ownEnd) EndAfterFault();
    return EXCEPTION_CONTINUE_SEARCH;
}

// Last in line for every fault nobody handled: one in a plug-in, in a
// platform library, or an exception raised by hand.
LONG WINAPI UnhandledFault(EXCEPTION_POINTERS*) { EndAfterFault(); }

void FindOwnImage()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&FindOwnImage), &self))
        return;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(self);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    ownStart = reinterpret_cast<uintptr_t>(base);
    ownEnd = ownStart + nt->OptionalHeader.SizeOfImage;
}
}

void InstallFaultGuard()
{
    if (ownEnd == 0) FindOwnImage();
    if (ownFaultHandler == nullptr) ownFaultHandler = AddVectoredExceptionHandler(1, OwnCodeFault);
    previousFilter = SetUnhandledExceptionFilter(UnhandledFault);
}

void RemoveFaultGuard()
{
    SetUnhandledExceptionFilter(previousFilter);
    previousFilter = nullptr;
    if (ownFaultHandler != nullptr) RemoveVectoredExceptionHandler(ownFaultHandler);
    ownFaultHandler = nullptr;
}
