// Fuzz target of the words-file encodings: any bytes are detected and
// decoded as each kind into buffers of exactly the promised size. The
// units must hold no surrogate (they go to the platform one by one), a
// file taken for bare UTF-8 must give one unit a character, and the same
// characters saved as UTF-8 and as UTF-16 of either order must decode alike.
#include "saver/sayings/text_encoding.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

std::vector<uint16_t> Decode(const std::string& bytes, WordsEncoding encoding)
{
    const uint32_t count = static_cast<uint32_t>(bytes.size());
    const uint32_t bound = WordsUnitsBound(count);
    // Exact heap blocks, so the sanitizer sees any step past either end.
    char* in = static_cast<char*>(std::malloc(count ? count : 1));
    uint16_t* out = static_cast<uint16_t*>(std::malloc(bound ? bound * sizeof(uint16_t) : 1));
    if (count) std::memcpy(in, bytes.data(), count);
    uint32_t n = DecodeWordsText(in, count, encoding, out, bound);
    Require(n <= bound);
    std::vector<uint16_t> units(out, out + n);
    // Every surrogate comes with its partner: high, then low.
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF) {
            Require(i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF);
            ++i;
        } else {
            Require(units[i] < 0xDC00 || units[i] > 0xDFFF);
        }
    }
    std::free(in);
    std::free(out);
    return units;
}

void PutUtf8(std::string* s, uint16_t u)
{
    if (u < 0x80) {
        *s += static_cast<char>(u);
    } else if (u < 0x800) {
        *s += static_cast<char>(0xC0 | (u >> 6));
        *s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *s += static_cast<char>(0xE0 | (u >> 12));
        *s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *s += static_cast<char>(0x80 | (u & 0x3F));
    }
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    uint32_t start = 99;
    WordsEncoding found = DetectWordsEncoding(bytes.data(), static_cast<uint32_t>(size), &start);
    Require(start <= size);
    Require(found == WordsUtf8 ? start == 0 || start == 3 : found == WordsShiftJis ? start == 0 : start == 2);
    for (WordsEncoding e : {WordsUtf8, WordsUtf16Le, WordsUtf16Be}) Decode(bytes, e);
    if (found == WordsUtf8 && start == 0) {
        size_t characters = 0;
        for (unsigned char c : bytes) characters += ((c & 0xC0) != 0x80) + (c >= 0xF0);   // a pair beyond the plane
        Require(Decode(bytes, WordsUtf8).size() == characters);
    }

    // The input's pairs of bytes as characters of the basic plane, saved
    // three ways.
    std::string utf8 = "\xEF\xBB\xBF", little = "\xFF\xFE", big = "\xFE\xFF";
    for (size_t i = 0; i + 1 < size; i += 2) {
        uint16_t u = static_cast<uint16_t>(data[i] | (data[i + 1] << 8));
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        PutUtf8(&utf8, u);
        little += static_cast<char>(u & 0xFF);
        little += static_cast<char>(u >> 8);
        big += static_cast<char>(u >> 8);
        big += static_cast<char>(u & 0xFF);
    }
    const struct {
        const std::string* file;
        WordsEncoding encoding;
    } saved[] = {{&utf8, WordsUtf8}, {&little, WordsUtf16Le}, {&big, WordsUtf16Be}};
    std::vector<uint16_t> first;
    for (const auto& s : saved) {
        Require(DetectWordsEncoding(s.file->data(), static_cast<uint32_t>(s.file->size()), &start) == s.encoding);
        std::vector<uint16_t> units = Decode(s.file->substr(start), s.encoding);
        if (s.file == &utf8) first = units;
        Require(units == first);
    }
    return 0;
}
