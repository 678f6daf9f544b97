#include "saver/common/content_kind.h"

#include "common/cp932.h"

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameExtension(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    return *a == '\0' && *b == '\0';
}

// The extension of the last path component, dot included; null without one.
const char* ExtensionOf(const char* path)
{
    const char* dot = nullptr;
    for (const char* p = path; *p != '\0'; p = NextChar932(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') dot = nullptr;
        else if (*p == '.') dot = p;
    }
    return dot;
}

// Photos are pictures like bitmaps: the same kind, counted with them.
const char* const kPhotoExtensions[] = {".jpg", ".jpeg", ".jpe", ".png", ".gif"};
}

uint16_t KindFromFileName(const char* path)
{
    if (path == nullptr || path[0] == '.') return KindNone;
    const char* dot = ExtensionOf(path);
    if (dot == nullptr) return KindNone;
    static const char* const kExtensions[] = {".txt", ".bmp", ".mid", ".wav", ".avi", ".dll"};
    for (uint16_t i = 0; i < 6; ++i)
        if (SameExtension(dot, kExtensions[i])) return static_cast<uint16_t>(i + 1);
    return IsPhotoFileName(path) ? KindBitmap : KindNone;
}

bool IsPhotoFileName(const char* path)
{
    const char* dot = path ? ExtensionOf(path) : nullptr;
    if (dot == nullptr) return false;
    for (const char* extension : kPhotoExtensions)
        if (SameExtension(dot, extension)) return true;
    return false;
}

uint16_t ItemKind(const char* path)
{
    if (path == nullptr) return KindNone;
    const char* name = path;
    for (const char* p = path; *p != '\0'; p = NextChar932(p))
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return KindFromFileName(name);
}
