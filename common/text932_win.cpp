#include "common/text932_win.h"

#include "common/cp932.h"

#include <cstdlib>
#include <cstring>

namespace {
const UINT kShiftJis = 932;

void SetFound(FindData932* found, const WIN32_FIND_DATAW& data)
{
    found->attributes = data.dwFileAttributes;
    found->nameFits = false;
    found->name[0] = '\0';
    found->shortName[0] = '\0';
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(kShiftJis, 0, data.cFileName, -1, found->name,
                                sizeof found->name, nullptr, &lossy);
    if (n > 0 && !lossy) found->nameFits = true;
    else found->name[0] = '\0';
    lossy = FALSE;
    n = WideCharToMultiByte(kShiftJis, 0, data.cAlternateFileName, -1, found->shortName,
                            sizeof found->shortName, nullptr, &lossy);
    if (n <= 0 || lossy) found->shortName[0] = '\0';
}
}

void WideFrom932(Wide932* out, const char* bytes, int byteCount)
{
    out->text = out->local;
    out->length = 0;
    out->local[0] = L'\0';
    if (bytes == nullptr) return;
    size_t count = byteCount < 0 ? std::strlen(bytes) : static_cast<size_t>(byteCount);
    count = WholeCharBytes932(bytes, count);
    if (count == 0) return;
    int need = MultiByteToWideChar(kShiftJis, 0, bytes, static_cast<int>(count), nullptr, 0);
    if (need <= 0) return;
    if (need >= static_cast<int>(sizeof out->local / sizeof out->local[0])) {
        out->text = static_cast<wchar_t*>(std::malloc((static_cast<size_t>(need) + 1) * sizeof(wchar_t)));
        if (out->text == nullptr) {
            out->text = out->local;
            return;
        }
    }
    out->length = MultiByteToWideChar(kShiftJis, 0, bytes, static_cast<int>(count), out->text, need);
    if (out->length < 0) out->length = 0;
    out->text[out->length] = L'\0';
}

void FreeWide932(Wide932* w)
{
    if (w->text != w->local) std::free(w->text);
    w->text = w->local;
    w->length = 0;
    w->local[0] = L'\0';
}

int NarrowTo932(const wchar_t* wide, int wideCount, char* out, int outSize)
{
    if (outSize <= 0) return -1;
    out[0] = '\0';
    if (wideCount < 0) wideCount = static_cast<int>(wcslen(wide));
    if (wideCount == 0) return 0;
    int need = WideCharToMultiByte(kShiftJis, 0, wide, wideCount, nullptr, 0, nullptr, nullptr);
    if (need <= 0 || need >= outSize) return -1;
    int n = WideCharToMultiByte(kShiftJis, 0, wide, wideCount, out, outSize - 1, nullptr, nullptr);
    if (n <= 0) {
        out[0] = '\0';
        return -1;
    }
    out[n] = '\0';
    return n;
}

uint8_t ShiftJisBytes932(uint32_t codePoint)
{
    // 0 not asked yet, else the answer + 1.
    static uint8_t known[0x10000];
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    if (codePoint <= 0xFFFF && known[codePoint] != 0) return static_cast<uint8_t>(known[codePoint] - 1);
    wchar_t wide[2];
    int units = 1;
    if (codePoint > 0xFFFF) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        units = 2;
    } else {
        wide[0] = static_cast<wchar_t>(codePoint);
    }
    char bytes[8];
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr, &lossy);
    uint8_t answer = (n == 1 || n == 2) && !lossy ? static_cast<uint8_t>(n) : 0;
    if (codePoint <= 0xFFFF) known[codePoint] = static_cast<uint8_t>(answer + 1);
    return answer;
}

BOOL TextOut932(HDC dc, int x, int y, const char* bytes, int byteCount)
{
    Wide932 w;
    WideFrom932(&w, bytes, byteCount);
    BOOL ok = TextOutW(dc, x, y, w.text, w.length);
    FreeWide932(&w);
    return ok;
}

BOOL TextExtent932(HDC dc, const char* bytes, int byteCount, SIZE* size)
{
    Wide932 w;
    WideFrom932(&w, bytes, byteCount);
    BOOL ok = GetTextExtentPoint32W(dc, w.text, w.length, size);
    FreeWide932(&w);
    return ok;
}

HFONT CreateFont932(int height, int width, int weight, BYTE charSet, BYTE pitchAndFamily,
                    const char* face)
{
    LOGFONTW lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitchAndFamily;
    Wide932 w;
    WideFrom932(&w, face, -1);
    int n = w.length < LF_FACESIZE - 1 ? w.length : LF_FACESIZE - 1;
    std::memcpy(lf.lfFaceName, w.text, static_cast<size_t>(n) * sizeof(wchar_t));
    lf.lfFaceName[n] = L'\0';
    FreeWide932(&w);
    return CreateFontIndirectW(&lf);
}

int LoadString932(HINSTANCE instance, UINT id, char* buffer, int bufferSize)
{
    if (bufferSize <= 0) return 0;
    buffer[0] = '\0';
    const wchar_t* resource = nullptr;
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) return 0;
    int need = WideCharToMultiByte(kShiftJis, 0, resource, length, nullptr, 0, nullptr, nullptr);
    if (need <= 0) return 0;
    if (need < bufferSize) {
        int n = WideCharToMultiByte(kShiftJis, 0, resource, length, buffer, bufferSize - 1, nullptr, nullptr);
        buffer[n > 0 ? n : 0] = '\0';
        return n > 0 ? n : 0;
    }
    // Too long for the caller's buffer: keep what fits, on a character boundary.
    char* whole = static_cast<char*>(std::malloc(static_cast<size_t>(need)));
    if (whole == nullptr) return 0;
    WideCharToMultiByte(kShiftJis, 0, resource, length, whole, need, nullptr, nullptr);
    size_t keep = WholeCharBytes932(whole, static_cast<size_t>(bufferSize - 1));
    std::memcpy(buffer, whole, keep);
    buffer[keep] = '\0';
    std::free(whole);
    return static_cast<int>(keep);
}

int MessageBox932(HWND owner, const char* text, const char* caption, UINT type)
{
    Wide932 t, c;
    WideFrom932(&t, text, -1);
    WideFrom932(&c, caption, -1);
    int result = MessageBoxW(owner, t.text, c.text, type);
    FreeWide932(&t);
    FreeWide932(&c);
    return result;
}

BOOL SetWindowText932(HWND window, const char* text)
{
    Wide932 w;
    WideFrom932(&w, text, -1);
    BOOL ok = SetWindowTextW(window, w.text);
    FreeWide932(&w);
    return ok;
}

BOOL SetDlgItemText932(HWND dialog, int id, const char* text)
{
    Wide932 w;
    WideFrom932(&w, text, -1);
    BOOL ok = SetDlgItemTextW(dialog, id, w.text);
    FreeWide932(&w);
    return ok;
}

int GetDlgItemText932(HWND dialog, int id, char* buffer, int bufferSize)
{
    if (bufferSize <= 0) return 0;
    buffer[0] = '\0';
    HWND item = GetDlgItem(dialog, id);
    int length = item ? GetWindowTextLengthW(item) : 0;
    if (length <= 0) return 0;
    wchar_t* wide = static_cast<wchar_t*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (wide == nullptr) return 0;
    length = GetWindowTextW(item, wide, length + 1);
    int need = WideCharToMultiByte(kShiftJis, 0, wide, length, nullptr, 0, nullptr, nullptr);
    char* whole = need > 0 ? static_cast<char*>(std::malloc(static_cast<size_t>(need))) : nullptr;
    int result = 0;
    if (whole != nullptr) {
        WideCharToMultiByte(kShiftJis, 0, wide, length, whole, need, nullptr, nullptr);
        // A text longer than the buffer is cut, but never inside a character.
        size_t keep = WholeCharBytes932(whole, static_cast<size_t>(need) < static_cast<size_t>(bufferSize - 1)
                                                   ? static_cast<size_t>(need)
                                                   : static_cast<size_t>(bufferSize - 1));
        std::memcpy(buffer, whole, keep);
        buffer[keep] = '\0';
        result = static_cast<int>(keep);
        std::free(whole);
    }
    std::free(wide);
    return result;
}

LRESULT ListBoxAdd932(HWND list, const char* text)
{
    Wide932 w;
    WideFrom932(&w, text, -1);
    LRESULT r = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.text));
    FreeWide932(&w);
    return r;
}

int ListBoxText932(HWND list, int index, char* buffer, int bufferSize)
{
    if (bufferSize <= 0) return -1;
    buffer[0] = '\0';
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0 || length >= 32768) return -1;
    wchar_t local[512];
    wchar_t* wide = length < 512 ? local : static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, (length + 1) * sizeof(wchar_t)));
    if (wide == nullptr) return -1;
    int result = -1;
    LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
    if (got != LB_ERR && got >= 0 && got <= length) result = NarrowTo932(wide, static_cast<int>(got), buffer, bufferSize);
    if (wide != local) HeapFree(GetProcessHeap(), 0, wide);
    return result;
}

LONG RegCreateKey932(HKEY root, const char* path, HKEY* key)
{
    Wide932 w;
    WideFrom932(&w, path, -1);
    LONG r = RegCreateKeyExW(root, w.text, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key, nullptr);
    if (r != ERROR_SUCCESS) *key = nullptr;
    FreeWide932(&w);
    return r;
}

LONG RegOpenKeyRead932(HKEY root, const char* path, HKEY* key)
{
    Wide932 w;
    WideFrom932(&w, path, -1);
    LONG r = RegOpenKeyExW(root, w.text, 0, KEY_READ, key);
    if (r != ERROR_SUCCESS) *key = nullptr;
    FreeWide932(&w);
    return r;
}

LONG RegQueryString932(HKEY key, const char* name, char* buffer, DWORD bufferSize)
{
    if (bufferSize == 0) return ERROR_MORE_DATA;
    buffer[0] = '\0';
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    Wide932 n;
    WideFrom932(&n, name, -1);
    DWORD type = 0;
    DWORD bytes = 0;
    LONG r = RegQueryValueExW(key, n.text, nullptr, &type, nullptr, &bytes);
    if (r == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) r = ERROR_INVALID_DATA;
    // Far more than any text that could fit once converted: refuse early.
    if (r == ERROR_SUCCESS && bytes > bufferSize * 2 + 2) r = ERROR_MORE_DATA;
    wchar_t* wide = nullptr;
    if (r == ERROR_SUCCESS) {
        wide = static_cast<wchar_t*>(std::calloc(bytes / sizeof(wchar_t) + 2, sizeof(wchar_t)));
        if (wide == nullptr) r = ERROR_OUTOFMEMORY;
    }
    if (r == ERROR_SUCCESS) {
        DWORD got = bytes;
        r = RegQueryValueExW(key, n.text, nullptr, &type, reinterpret_cast<BYTE*>(wide), &got);
        if (r == ERROR_SUCCESS) {
            // The stored data may or may not carry its terminator; stop at the first.
            int count = static_cast<int>(got / sizeof(wchar_t));
            int length = 0;
            while (length < count && wide[length] != L'\0') ++length;
            if (NarrowTo932(wide, length, buffer, static_cast<int>(bufferSize)) < 0) r = ERROR_MORE_DATA;
        }
    }
    std::free(wide);
    FreeWide932(&n);
    if (r != ERROR_SUCCESS) buffer[0] = '\0';
    return r;
}

LONG RegQueryDword932(HKEY key, const char* name, DWORD* value)
{
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    Wide932 n;
    WideFrom932(&n, name, -1);
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    LONG r = RegQueryValueExW(key, n.text, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    FreeWide932(&n);
    // Older tools store numbers as four bytes of binary data; those bytes
    // are the same little-endian number. Any other type or size is not one.
    if (r == ERROR_SUCCESS && ((type != REG_DWORD && type != REG_BINARY) || size != sizeof data))
        r = ERROR_INVALID_DATA;
    if (r == ERROR_SUCCESS) *value = data;
    return r;
}

LONG RegSetString932(HKEY key, const char* name, const char* value)
{
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    Wide932 n, v;
    WideFrom932(&n, name, -1);
    WideFrom932(&v, value, -1);
    LONG r = RegSetValueExW(key, n.text, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text),
                            static_cast<DWORD>((v.length + 1) * sizeof(wchar_t)));
    FreeWide932(&n);
    FreeWide932(&v);
    return r;
}

LONG RegSetDword932(HKEY key, const char* name, DWORD value)
{
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    Wide932 n;
    WideFrom932(&n, name, -1);
    LONG r = RegSetValueExW(key, n.text, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    FreeWide932(&n);
    return r;
}

HANDLE CreateFile932(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    Wide932 w;
    WideFrom932(&w, path, -1);
    HANDLE h = CreateFileW(w.text, access, share, nullptr, disposition, flags, nullptr);
    FreeWide932(&w);
    return h;
}

HANDLE FindFirst932(const char* pattern, FindData932* found)
{
    Wide932 w;
    WideFrom932(&w, pattern, -1);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(w.text, &data);
    FreeWide932(&w);
    if (h != INVALID_HANDLE_VALUE) SetFound(found, data);
    return h;
}

BOOL FindNext932(HANDLE search, FindData932* found)
{
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(search, &data)) return FALSE;
    SetFound(found, data);
    return TRUE;
}

HMODULE LoadPluginLibraryW(const wchar_t* path)
{
    if (!path || !path[0]) return nullptr;
    HMODULE m = nullptr;
    DWORD need = GetFullPathNameW(path, 0, nullptr, nullptr);
    wchar_t* full = need ? static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, need * sizeof(wchar_t))) : nullptr;
    if (full) {
        DWORD got = GetFullPathNameW(path, need, full, nullptr);
        if (got > 0 && got < need) {
            UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
            m = LoadLibraryExW(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            SetErrorMode(oldMode);
        }
        HeapFree(GetProcessHeap(), 0, full);
    }
    return m;
}

HMODULE LoadPluginLibrary932(const char* path)
{
    if (!path || !path[0]) return nullptr;
    Wide932 w;
    WideFrom932(&w, path, -1);
    HMODULE m = LoadPluginLibraryW(w.text);
    FreeWide932(&w);
    return m;
}
