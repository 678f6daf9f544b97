// Reads a whole words file into textBuffer: a Shift-JIS one as its bytes
// followed by one zero byte, a Unicode one as UTF-16 units followed by a
// zero unit.
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
    g.textUtf16 = 0;
}

// A Unicode file's text as UTF-16 units in a new block of its own,
// followed by one zero unit. The 4 MiB bound counts units here: a text of
// more is refused as if memory had run out, without ever holding more
// than the bound (and one unit to tell it was passed). 0, or the result
// code.
uint16_t DecodeToBlock(const char* bytes, uint32_t count, WordsEncoding encoding, HGLOBAL* block, uint32_t* length)
{
    *block = nullptr;
    *length = 0;
    uint32_t capacity = WordsUnitsBound(count);
    if (capacity > kMaxWordsFileBytes + 1u) capacity = kMaxWordsFileBytes + 1u;
    HGLOBAL decoded = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (static_cast<SIZE_T>(capacity) + 1) * sizeof(uint16_t));
    if (decoded == nullptr) return 1;
    uint16_t* units = static_cast<uint16_t*>(GlobalLock(decoded));
    if (units == nullptr) {
        GlobalFree(decoded);
        return 1;
    }
    const uint32_t written = DecodeWordsText(bytes, count, encoding, units, capacity);
    units[written] = 0;
    GlobalUnlock(decoded);
    if (CheckWordsFileSize(0, written) != 0) {
        GlobalFree(decoded);
        return 1;
    }
    *block = decoded;
    *length = written;
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

    // Files in UTF-8 or UTF-16 are kept as UTF-16 to the screen; everything
    // else byte for byte, as the saver always read it.
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
    code = DecodeToBlock(bytes + textStart, length - textStart, encoding, &converted, &convertedLength);
    GlobalUnlock(block);
    GlobalFree(block);
    if (code != 0) return code;
    g.textBuffer = converted;
    g.textLength = convertedLength;
    g.textUtf16 = 1;
    return 0;
}
