// Shift-JIS byte rules that need no platform: where a character starts,
// so that a cut never leaves half a double-byte character behind.
#pragma once
#include <cstddef>

inline bool IsLeadByte932(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The next character after p (p must not be at the terminator).
const char* NextChar932(const char* p);

// Largest n <= count such that the first n bytes end on a character
// boundary.
size_t WholeCharBytes932(const char* text, size_t count);
