// Reads a whole words file into textBuffer, followed by one zero byte.
#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/presenters_win.h"
#include "saver/show/words.h"

namespace {
void DropTextBuffer()
{
    FreeGlobalBlock(&g.textBuffer);
    g.textLength = 0;
}
}

uint16_t ReadWordsFile(HWND, const char* path)
{
    // A block left from an item that never got drawn would leak here.
    DropTextBuffer();
    if (path == nullptr) return 2;
    if (IsEmptyCatalogueSentinel(path)) return 998;

    HANDLE file = CreateFile932(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) return 2;
    // A folder named like a words file can be opened on some systems; it
    // is no more readable than a missing file.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return 2;
    }
    uint16_t code = CheckWordsFileSize(info.nFileSizeHigh, info.nFileSizeLow);
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
    GlobalUnlock(block);
    g.textBuffer = block;
    g.textLength = length;
    return 0;
}
