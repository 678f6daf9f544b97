#include "saver/common/content_kind.h"

#include "common/cp932.h"

namespace {
// One walk for both forms of a name: Shift-JIS goes by whole characters (a
// trail byte can look like "\"), a UTF-16 unit is never part of another.
const char* NextUnit(const char* p) { return NextChar932(p); }
const char16_t* NextUnit(const char16_t* p) { return p + 1; }
unsigned UnitValue(char c) { return static_cast<unsigned char>(c); }
unsigned UnitValue(char16_t c) { return c; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <typename Unit>
bool SameExtension(const Unit* a, const char* b)
{
    for (; *a != 0 && *b != '\0'; ++a, ++b)
        if (UnitValue(*a) >= 0x80 || LowerAscii(static_cast<char>(*a)) != LowerAscii(*b)) return false;
    return *a == 0 && *b == '\0';
}

// The extension of the last path component, dot included; null without one.
template <typename Unit>
const Unit* ExtensionOf(const Unit* path)
{
    const Unit* dot = nullptr;
    for (const Unit* p = path; *p != 0; p = NextUnit(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') dot = nullptr;
        else if (*p == '.') dot = p;
    }
    return dot;
}

const char* const kKindExtensions[] = {".txt", ".bmp", ".mid", ".wav", ".avi", ".dll"};

// Photos are pictures like bitmaps: the same kind, counted with them.
const char* const kPhotoExtensions[] = {".jpg", ".jpeg", ".jpe", ".png", ".gif"};

template <typename Unit>
bool IsPhoto(const Unit* path)
{
    const Unit* dot = path ? ExtensionOf(path) : nullptr;
    if (dot == nullptr) return false;
    for (const char* extension : kPhotoExtensions)
        if (SameExtension(dot, extension)) return true;
    return false;
}

template <typename Unit>
uint16_t KindOf(const Unit* path)
{
    if (path == nullptr || path[0] == '.') return KindNone;
    const Unit* dot = ExtensionOf(path);
    if (dot == nullptr) return KindNone;
    for (uint16_t i = 0; i < 6; ++i)
        if (SameExtension(dot, kKindExtensions[i])) return static_cast<uint16_t>(i + 1);
    return IsPhoto(path) ? KindBitmap : KindNone;
}

template <typename Unit>
uint16_t KindOfItem(const Unit* path)
{
    if (path == nullptr) return KindNone;
    const Unit* name = path;
    for (const Unit* p = path; *p != 0; p = NextUnit(p))
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return KindOf(name);
}
}

uint16_t KindFromFileName(const char* path) { return KindOf(path); }
bool IsPhotoFileName(const char* path) { return IsPhoto(path); }
uint16_t ItemKind(const char* path) { return KindOfItem(path); }
uint16_t KindFromFileName16(const char16_t* path) { return KindOf(path); }
bool IsPhotoFileName16(const char16_t* path) { return IsPhoto(path); }
uint16_t ItemKind16(const char16_t* path) { return KindOfItem(path); }
