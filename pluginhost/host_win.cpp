// KELMTG64.EXE and KELMTG32.EXE: a TextGenDLL in a process of its own.
// The saver (or its settings page) starts one host per visit of a plug-in,
// passing the two pipe ends it inherits on the command line; the host
// loads the library, answers one request at a time and ends when asked,
// when the pipe breaks, or at the first message it does not understand.
// Between requests it serves the messages of the plug-in's windows and
// timers, as the saver's own thread did when plug-ins ran in it, so what
// a procedure sets up stays alive for the next and a window it leaves
// behind still answers whoever sends to every window.
// Whatever the plug-in does to this process (faults, hangs, exits, writes
// to standard output) stays here: the saver only sees an answer missing.
#include <windows.h>

#include "common/plugin_wire.h"
#include "common/text932_win.h"
#include "kit/textgen.h"

#include <cwchar>

namespace {
enum {
    kEndedByRequest = 0,
    kEndedByMisuse = 2,    // a bad command line or a malformed message
    kEndedByFault = 3,     // the plug-in faulted
};

HANDLE fromSaver = nullptr;
HANDLE toSaver = nullptr;
HMODULE plugin = nullptr;

// The request read last, handed from the reading thread to the main one.
// The reader reads the next only once the main thread has taken this one.
struct Request {
    WireHeader header;
    uint8_t* body;
    bool ended;     // the pipe broke or the message was malformed
    UINT endCode;
};
Request pending;
HANDLE requestReady = nullptr;
HANDLE requestTaken = nullptr;

// A fault anywhere in this process is the plug-in's: no box, no debugger,
// just the end, which the saver sees as a host gone.
LONG WINAPI EndAfterFault(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), kEndedByFault);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool ReadExactly(void* buffer, DWORD count)
{
    uint8_t* at = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        DWORD got = 0;
        if (!ReadFile(fromSaver, at, count, &got, nullptr) || got == 0) return false;
        at += got;
        count -= got;
    }
    return true;
}

bool WriteAll(const uint8_t* bytes, size_t count)
{
    while (count > 0) {
        DWORD chunk = count > 0x10000 ? 0x10000 : static_cast<DWORD>(count);
        DWORD put = 0;
        if (!WriteFile(toSaver, bytes, chunk, &put, nullptr) || put == 0) return false;
        bytes += put;
        count -= put;
    }
    return true;
}

[[noreturn]] void End(UINT code)
{
    ExitProcess(code);
}

void Answer(uint16_t kind, uint32_t status, uint16_t figure, const void* bytes, uint32_t count)
{
    uint8_t fixed[kWireAnswerFixed];
    WirePutU32(fixed, status);
    fixed[4] = static_cast<uint8_t>(figure & 0xFF);
    fixed[5] = static_cast<uint8_t>(figure >> 8);
    const uint32_t fixedSize = kind == kWireConfigured ? 4u : static_cast<uint32_t>(kWireAnswerFixed);
    const size_t size = kWireHeaderSize + fixedSize + count;
    uint8_t* message = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!message) End(kEndedByMisuse);
    const size_t written = WirePut(message, size, kind, fixed, fixedSize, bytes, count);
    const bool sent = written != 0 && WriteAll(message, written);
    HeapFree(GetProcessHeap(), 0, message);
    if (!sent) End(kEndedByMisuse);
}

// A block the plug-in handed over becomes ours: copied (no more than
// limit bytes, however large the block claims to be) and freed. Null when
// there is nothing to copy.
uint8_t* TakeBlock(HGLOBAL block, uint32_t limit, uint32_t* count)
{
    *count = 0;
    if (!block) return nullptr;
    SIZE_T size = GlobalSize(block);
    if (size > limit) size = limit;
    uint8_t* copy = nullptr;
    const uint8_t* locked = size ? static_cast<const uint8_t*>(GlobalLock(block)) : nullptr;
    if (locked) {
        copy = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (copy) {
            CopyMemory(copy, locked, size);
            *count = static_cast<uint32_t>(size);
        }
    }
    // By the lock count, not GlobalUnlock's answer: a fixed block always
    // answers "still locked".
    while (GlobalFlags(block) & GMEM_LOCKCOUNT) GlobalUnlock(block);
    GlobalFree(block);
    return copy;
}

void Open(const uint8_t* body, uint32_t length)
{
    WireOpen request;
    if (plugin || !WireReadOpen(body, length, &request)) End(kEndedByMisuse);
    wchar_t* path = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, (request.pathUnits + 1) * sizeof(wchar_t)));
    if (!path) End(kEndedByMisuse);
    for (uint32_t i = 0; i < request.pathUnits; ++i)
        path[i] = static_cast<wchar_t>(request.path[2 * i] | (request.path[2 * i + 1] << 8));
    path[request.pathUnits] = L'\0';
    plugin = LoadPluginLibraryW(path);
    HeapFree(GetProcessHeap(), 0, path);
    if (!plugin) return Answer(kWireOpened, 40, 0, nullptr, 0);
    if (!request.askNames) return Answer(kWireOpened, 0, 0, nullptr, 0);

    TextgenNamesProc names =
        reinterpret_cast<TextgenNamesProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetTextgenProcNames")));
    if (!names) return Answer(kWireOpened, 41, 0, nullptr, 0);
    HGLOBAL block = nullptr;
    const uint16_t size = names(&block);
    uint32_t count = 0;
    uint8_t* copy = TakeBlock(block, kWireNamesBytesMax, &count);
    Answer(kWireOpened, 0, size, copy, count);
    if (copy) HeapFree(GetProcessHeap(), 0, copy);
}

void Call(const uint8_t* body, uint32_t length)
{
    if (!plugin) End(kEndedByMisuse);
    char name[TEXTGEN_NAME_ENTRY_SIZE] = {};
    CopyMemory(name, body, length);
    if (strnlen(name, sizeof name) != length) End(kEndedByMisuse);
    TextgenTextProc proc = reinterpret_cast<TextgenTextProc>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
    if (!proc) return Answer(kWireText, 42, 0, nullptr, 0);
    HGLOBAL block = nullptr;
    const uint16_t textLength = proc(&block);
    uint32_t count = 0;
    // Nothing beyond the length the plug-in gave is sent, and never more
    // than its block holds.
    uint8_t* copy = TakeBlock(block, textLength, &count);
    if (textLength == 0 || count == 0) Answer(kWireText, 43, 0, nullptr, 0);
    else Answer(kWireText, 0, textLength, copy, count);
    if (copy) HeapFree(GetProcessHeap(), 0, copy);
}

void Configure(const uint8_t* body)
{
    if (!plugin) End(kEndedByMisuse);
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(WireReadU64(body)));
    TextgenConfigProc configure =
        reinterpret_cast<TextgenConfigProc>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetTextgenCnfgDlg")));
    if (!configure) return Answer(kWireConfigured, 44, 0, nullptr, 0);
    configure(IsWindow(owner) ? owner : nullptr);
    Answer(kWireConfigured, 0, 0, nullptr, 0);
}

// Reads the saver's requests on a thread of its own, so that the main
// thread, where the plug-in lives, keeps serving its windows and timers
// while it waits for the next one.
DWORD WINAPI ReadRequests(void*)
{
    for (;;) {
        uint8_t header[kWireHeaderSize];
        Request got = {};
        // A broken pipe means the saver is gone or done with us.
        if (!ReadExactly(header, sizeof header)) {
            got.ended = true;
            got.endCode = kEndedByRequest;
        } else if (!WireReadHeader(header, true, &got.header)) {
            got.ended = true;
            got.endCode = kEndedByMisuse;
        } else {
            got.body = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, got.header.length ? got.header.length : 1));
            if (!got.body || !ReadExactly(got.body, got.header.length)) {
                got.ended = true;
                got.endCode = kEndedByMisuse;
            }
        }
        pending = got;
        SetEvent(requestReady);
        if (got.ended) return 0;
        WaitForSingleObject(requestTaken, INFINITE);
    }
}

// What the plug-in's windows are sent and posted between its calls, as
// the saver's own message loop once served them. A quit it posts is not
// ours to obey: the host ends when the saver says.
void ServeWindows()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The next request, with the plug-in's messages served while it comes.
Request NextRequest()
{
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &requestReady, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return pending;
        if (woke != WAIT_OBJECT_0 + 1) End(kEndedByMisuse);
        ServeWindows();
    }
}

// A window the plug-in left behind is destroyed while its procedure is
// still loaded, never by the system at the end, when it would be gone.
BOOL CALLBACK DestroyLeftBehind(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

bool HandleFrom(const wchar_t*& text, HANDLE* handle)
{
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    if (end == text || value == 0) return false;
    text = end;
    *handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
    return GetFileType(*handle) == FILE_TYPE_PIPE;
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndAfterFault);
    const wchar_t* args = commandLine ? commandLine : L"";
    if (!HandleFrom(args, &fromSaver) || !HandleFrom(args, &toSaver)) End(kEndedByMisuse);

    requestReady = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    requestTaken = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE reader = requestReady && requestTaken ? CreateThread(nullptr, 0, ReadRequests, nullptr, 0, nullptr) : nullptr;
    if (!reader) End(kEndedByMisuse);
    CloseHandle(reader);

    for (;;) {
        const Request request = NextRequest();
        if (request.ended) End(request.endCode);
        const WireHeader& h = request.header;
        uint8_t* body = request.body;
        switch (h.kind) {
        case kWireOpen:
            Open(body, h.length);
            break;
        case kWireCall:
            Call(body, h.length);
            break;
        case kWireConfigure:
            Configure(body);
            break;
        case kWireRelease:
            // Where the saver let the library go when it ran in-process:
            // its detaching runs here, then threads it left behind end
            // with the process.
            EnumThreadWindows(GetCurrentThreadId(), DestroyLeftBehind, 0);
            if (plugin) FreeLibrary(plugin);
            End(kEndedByRequest);
        }
        HeapFree(GetProcessHeap(), 0, body);
        SetEvent(requestTaken);
    }
}
