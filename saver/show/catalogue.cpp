#include "saver/show/catalogue.h"

#include "saver/host/cp932.h"

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameExtension(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    return *a == '\0' && *b == '\0';
}
}

uint16_t KindFromFileName(const char* path)
{
    if (path == nullptr || path[0] == '.') return KindNone;
    const char* component = path;
    const char* dot = nullptr;
    for (const char* p = path; *p != '\0'; p = NextChar932(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            component = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    (void)component;
    if (dot == nullptr) return KindNone;
    static const char* const kExtensions[] = {".txt", ".bmp", ".mid", ".wav", ".avi", ".dll"};
    for (uint16_t i = 0; i < 6; ++i)
        if (SameExtension(dot, kExtensions[i])) return static_cast<uint16_t>(i + 1);
    return KindNone;
}
