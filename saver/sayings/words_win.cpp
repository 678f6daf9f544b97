// Reads a whole words file into textBuffer as Shift-JIS, followed by one
// zero byte.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"
#include "saver/sayings/text_encoding.h"
#include "saver/sayings/words.h"

#include <cwchar>

namespace {
static_assert(sizeof(wchar_t) == sizeof(uint16_t), "UTF-16 units are the platform's wide characters");

void DropTextBuffer()
{
    FreeGlobalBlock(&g.textBuffer);
    g.textLength = 0;
}

// The Shift-JIS form of a Unicode file's text, in a new block of its own
// followed by one zero byte, so that the rest of the saver sees what a
// Shift-JIS file of the same saying would give. 0, or the result code.
uint16_t ConvertToShiftJis(const char* bytes, uint32_t count, WordsEncoding encoding, HGLOBAL* block,
                           uint32_t* length)
{
    *block = nullptr;
    *length = 0;
    uint32_t bound = WordsUnitsBound(count);
    uint16_t* units = nullptr;
    if (bound != 0) {
        units = static_cast<uint16_t*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(bound) * sizeof *units));
        if (units == nullptr) return 1;
    }
    const uint32_t unitCount = DecodeWordsText(bytes, count, encoding, units, bound);
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
    int need = NarrowTo932StandIn(wide, static_cast<int>(unitCount), nullptr, 0);
    uint16_t code = need < 0 ? 2 : CheckWordsFileSize(0, static_cast<uint32_t>(need));
    HGLOBAL converted = nullptr;
    if (code == 0) {
        converted = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(need) + 1);
        if (converted == nullptr) code = 1;
    }
    char* text = converted ? static_cast<char*>(GlobalLock(converted)) : nullptr;
    if (code == 0 && text == nullptr) code = 1;
    if (code == 0 && need > 0 && NarrowTo932StandIn(wide, static_cast<int>(unitCount), text, need) != need) code = 2;
    if (text) GlobalUnlock(converted);
    if (units) HeapFree(GetProcessHeap(), 0, units);
    if (code != 0) {
        if (converted) GlobalFree(converted);
        return code;
    }
    *block = converted;
    *length = static_cast<uint32_t>(need);
    return 0;
}
}

uint16_t ReadWordsFile(HWND, const wchar_t* path)
{
    // A block left from an item that never got drawn would leak here.
    DropTextBuffer();
    if (path == nullptr) return 2;
    if (std::wcscmp(path, L"EM998") == 0) return 998;

    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    // A folder named like a words file can be opened on some systems; it
    // is no more readable than a missing file.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return 2;
    }
    uint16_t code = CheckWordsReadSize(info.nFileSizeHigh, info.nFileSizeLow);
    if (code != 0) {
        CloseHandle(file);
        return code;
    }
    uint32_t length = info.nFileSizeLow;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(length) + 1);
    if (block == nullptr) {
        CloseHandle(file);
        return 1;
    }
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        CloseHandle(file);
        return 1;
    }
    // Bytes that cannot be read stay zero; the length stays the file's.
    uint32_t done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + done, length - done, &got, nullptr) || got == 0) break;
        done += got;
    }
    CloseHandle(file);

    // Files in UTF-8 or UTF-16 are turned into Shift-JIS here; everything
    // else is kept byte for byte, as the saver always read it.
    uint32_t textStart = 0;
    WordsEncoding encoding = DetectWordsEncoding(bytes, length, &textStart);
    if (encoding == WordsShiftJis) {
        GlobalUnlock(block);
        code = CheckWordsFileSize(0, length);
        if (code != 0) {
            GlobalFree(block);
            return code;
        }
        g.textBuffer = block;
        g.textLength = length;
        return 0;
    }
    HGLOBAL converted = nullptr;
    uint32_t convertedLength = 0;
    code = ConvertToShiftJis(bytes + textStart, length - textStart, encoding, &converted, &convertedLength);
    GlobalUnlock(block);
    GlobalFree(block);
    if (code != 0) return code;
    g.textBuffer = converted;
    g.textLength = convertedLength;
    return 0;
}
