#include "common/cp932.h"

const char* NextChar932(const char* p)
{
    if (*p == '\0') return p;
    if (IsLeadByte932(static_cast<unsigned char>(*p)) && p[1] != '\0') return p + 2;
    return p + 1;
}

size_t WholeCharBytes932(const char* text, size_t count)
{
    size_t i = 0;
    while (i < count) {
        size_t step = IsLeadByte932(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > count) break;
        i += step;
    }
    return i;
}
