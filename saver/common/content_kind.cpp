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

bool SameExtension16(const char16_t* a, const char* b)
{
    for (; *a != u'\0' && *b != '\0'; ++a, ++b)
        if (*a >= 0x80 || LowerAscii(static_cast<char>(*a)) != LowerAscii(*b)) return false;
    return *a == u'\0' && *b == '\0';
}

// A UTF-16 unit is never part of another character, so no lead-byte care.
const char16_t* ExtensionOf16(const char16_t* path)
{
    const char16_t* dot = nullptr;
    for (const char16_t* p = path; *p != u'\0'; ++p) {
        if (*p == u'\\' || *p == u'/' || *p == u':') dot = nullptr;
        else if (*p == u'.') dot = p;
    }
    return dot;
}

const char* const kKindExtensions[] = {".txt", ".bmp", ".mid", ".wav", ".avi", ".dll"};

// Photos are pictures like bitmaps: the same kind, counted with them.
const char* const kPhotoExtensions[] = {".jpg", ".jpeg", ".jpe", ".png", ".gif"};
}

uint16_t KindFromFileName(const char* path)
{
    if (path == nullptr || path[0] == '.') return KindNone;
    const char* dot = ExtensionOf(path);
    if (dot == nullptr) return KindNone;
    for (uint16_t i = 0; i < 6; ++i)
        if (SameExtension(dot, kKindExtensions[i])) return static_cast<uint16_t>(i + 1);
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

uint16_t KindFromFileName16(const char16_t* path)
{
    if (path == nullptr || path[0] == u'.') return KindNone;
    const char16_t* dot = ExtensionOf16(path);
    if (dot == nullptr) return KindNone;
    for (uint16_t i = 0; i < 6; ++i)
        if (SameExtension16(dot, kKindExtensions[i])) return static_cast<uint16_t>(i + 1);
    return IsPhotoFileName16(path) ? KindBitmap : KindNone;
}

bool IsPhotoFileName16(const char16_t* path)
{
    const char16_t* dot = path ? ExtensionOf16(path) : nullptr;
    if (dot == nullptr) return false;
    for (const char* extension : kPhotoExtensions)
        if (SameExtension16(dot, extension)) return true;
    return false;
}

uint16_t ItemKind16(const char16_t* path)
{
    if (path == nullptr) return KindNone;
    const char16_t* name = path;
    for (const char16_t* p = path; *p != u'\0'; ++p)
        if (*p == u'\\' || *p == u'/' || *p == u':') name = p + 1;
    return KindFromFileName16(name);
}
