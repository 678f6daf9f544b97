#include "saver/show/catalogue.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
// More entries than this would make the entry block larger than a 32-bit
// size can say; such a folder stops growing there. The pools are bounded
// the same way, so their offsets fit 32 bits.
const uint32_t kMaxEntries = 0x7FFFFFFFu / sizeof(CatalogueEntry);
const size_t kMaxPool = 0x7FFFFFFFu;

// Grows a pool to room for need more items of size bytes; doubles.
bool ReservePool(void** pool, size_t* capacity, size_t used, size_t need, size_t size)
{
    if (need > kMaxPool - used) return false;
    if (used + need <= *capacity) return true;
    size_t grown = *capacity < 256 ? 256 : *capacity;
    while (grown < used + need) grown = grown > kMaxPool / 2 ? kMaxPool : grown * 2;
    void* moved = std::realloc(*pool, grown * size);
    if (moved == nullptr) return false;
    *pool = moved;
    *capacity = grown;
    return true;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
}

uint16_t ChooseCatalogueName(const char16_t* name, size_t length, size_t folderLength)
{
    if (name == nullptr || length == 0 || length > kNameChars) return KindNone;
    for (size_t i = 0; i < length; ++i)
        if (name[i] == u'\0') return KindNone;
    // Room for the longest form of the path, prefix and separator included.
    if (folderLength + 1 + length + 8 + 1 > kItemPathChars) return KindNone;
    return KindFromFileName16(name);
}

namespace {
// One code point of a UTF-16 name from *at on, moving *at past it.
uint32_t NextCodePoint(const char16_t* text, size_t length, size_t* at)
{
    char16_t first = text[*at];
    ++*at;
    if (first >= 0xD800 && first <= 0xDBFF && *at < length) {
        char16_t second = text[*at];
        if (second >= 0xDC00 && second <= 0xDFFF) {
            ++*at;
            return 0x10000u + ((static_cast<uint32_t>(first) - 0xD800u) << 10) + (second - 0xDC00u);
        }
    }
    return first;
}
}

size_t ForeignNameKey(const char16_t* name, size_t length, unsigned char* key)
{
    size_t used = 0;
    key[used++] = 0xFF;
    for (size_t at = 0; at < length;) {
        uint32_t codePoint = NextCodePoint(name, length, &at);
        key[used++] = static_cast<unsigned char>(codePoint >> 16);
        key[used++] = static_cast<unsigned char>(codePoint >> 8);
        key[used++] = static_cast<unsigned char>(codePoint);
    }
    return used;
}

bool AddCatalogueName(Catalogue* c, const char16_t* name, size_t length, const unsigned char* key,
                      size_t keyLength)
{
    if (length > 0xFFFF || keyLength > 0xFFFF || c->count >= kMaxEntries) return false;
    if (c->count == c->capacity) {
        uint32_t grown = GrowCatalogueCapacity(c->capacity, c->count + 1);
        if (grown == 0) return false;
        void* moved = std::realloc(c->entries, static_cast<size_t>(grown) * sizeof(CatalogueEntry));
        if (moved == nullptr) return false;
        c->entries = static_cast<CatalogueEntry*>(moved);
        c->capacity = grown;
    }
    void* names = c->names;
    void* keys = c->keys;
    bool room = ReservePool(&names, &c->namesCapacity, c->namesUsed, length + 1, sizeof(char16_t));
    c->names = static_cast<char16_t*>(names);
    room = room && ReservePool(&keys, &c->keysCapacity, c->keysUsed, keyLength, 1);
    c->keys = static_cast<unsigned char*>(keys);
    if (!room) return false;
    CatalogueEntry& e = c->entries[c->count];
    e.name = static_cast<uint32_t>(c->namesUsed);
    e.nameLength = static_cast<uint16_t>(length);
    e.key = static_cast<uint32_t>(c->keysUsed);
    e.keyLength = static_cast<uint16_t>(keyLength);
    std::memcpy(c->names + c->namesUsed, name, length * sizeof(char16_t));
    c->names[c->namesUsed + length] = u'\0';
    c->namesUsed += length + 1;
    if (keyLength > 0) std::memcpy(c->keys + c->keysUsed, key, keyLength);
    c->keysUsed += keyLength;
    ++c->count;
    return true;
}

void SortCatalogue(Catalogue* c)
{
    if (c->count > 1 && c->keys != nullptr) {
        const unsigned char* keys = c->keys;
        std::stable_sort(c->entries, c->entries + c->count, [keys](const CatalogueEntry& a, const CatalogueEntry& b) {
            size_t common = std::min(a.keyLength, b.keyLength);
            int order = common ? std::memcmp(keys + a.key, keys + b.key, common) : 0;
            return order != 0 ? order < 0 : a.keyLength < b.keyLength;
        });
    }
    std::free(c->keys);
    c->keys = nullptr;
    c->keysUsed = c->keysCapacity = 0;
    for (CatalogueEntry* e = c->entries; e != c->entries + c->count; ++e) e->key = e->keyLength = 0;
    if (c->count > 0 && c->capacity > c->count) {
        void* shrunk = std::realloc(c->entries, c->count * sizeof(CatalogueEntry));
        if (shrunk != nullptr) {
            c->entries = static_cast<CatalogueEntry*>(shrunk);
            c->capacity = c->count;
        }
    }
    if (c->namesUsed > 0 && c->namesCapacity > c->namesUsed) {
        void* shrunk = std::realloc(c->names, c->namesUsed * sizeof(char16_t));
        if (shrunk != nullptr) {
            c->names = static_cast<char16_t*>(shrunk);
            c->namesCapacity = c->namesUsed;
        }
    }
}

const char16_t* CatalogueName(const Catalogue* c, uint32_t index)
{
    if (c == nullptr || index >= c->count || c->names == nullptr) return nullptr;
    return c->names + c->entries[index].name;
}

void FreeCatalogueData(Catalogue* c)
{
    std::free(c->entries);
    std::free(c->names);
    std::free(c->keys);
    std::memset(c, 0, sizeof *c);
}

void CountKind(uint16_t counts[6], uint16_t kind)
{
    if (kind < KindText || kind > KindTextGen) return;
    if (counts[kind - 1] != 0xFFFF) ++counts[kind - 1];
}

bool ComposeItemPath(char16_t* out, size_t outChars, const char16_t* folder, const char16_t* name)
{
    if (out == nullptr || outChars == 0) return false;
    std::memset(out, 0, outChars * sizeof(char16_t));
    if (folder == nullptr || name == nullptr) return false;
    size_t folderLength = 0, nameLength = 0;
    while (folder[folderLength] != u'\0') ++folderLength;
    while (name[nameLength] != u'\0') ++nameLength;
    bool separator = folderLength == 0 || !IsSeparator(folder[folderLength - 1]);
    size_t plain = folderLength + (separator ? 1 : 0) + nameLength;

    // The long form only where the plain one would not open, and only for
    // a folder that names a drive or a share in full.
    const char16_t* prefix = u"";
    size_t skip = 0;
    if (plain >= kShortPathChars) {
        bool drive = folderLength >= 3 && folder[1] == u':' && IsSeparator(folder[2]);
        bool share = folderLength >= 3 && IsSeparator(folder[0]) && IsSeparator(folder[1]) && folder[2] != u'?' &&
                     folder[2] != u'.';
        if (drive) {
            prefix = u"\\\\?\\";
        } else if (share) {
            prefix = u"\\\\?\\UNC\\";
            skip = 2;
        }
    }
    size_t prefixLength = 0;
    while (prefix[prefixLength] != u'\0') ++prefixLength;
    if (prefixLength + plain - skip + 1 > outChars) return false;
    char16_t* p = out;
    std::memcpy(p, prefix, prefixLength * sizeof(char16_t));
    p += prefixLength;
    std::memcpy(p, folder + skip, (folderLength - skip) * sizeof(char16_t));
    p += folderLength - skip;
    if (separator) *p++ = u'\\';
    std::memcpy(p, name, nameLength * sizeof(char16_t));
    return true;
}

void RootBareDrive(char16_t* folder, size_t chars)
{
    if (folder == nullptr || chars < 4) return;
    char16_t letter = static_cast<char16_t>(folder[0] | 0x20);
    if (letter >= u'a' && letter <= u'z' && folder[1] == u':' && folder[2] == u'\0') {
        folder[2] = u'\\';
        folder[3] = u'\0';
    }
}

uint32_t TakeCatalogueIndex(uint32_t* cursor, uint32_t count)
{
    if (*cursor >= count) *cursor = 0;
    uint32_t index = *cursor;
    *cursor = index + 1;
    return index;
}

uint32_t GrowCatalogueCapacity(uint32_t capacity, uint32_t need)
{
    if (need > kMaxEntries) return 0;
    uint32_t grown = capacity < 16 ? 16 : capacity;
    while (grown < need) grown = grown > kMaxEntries / 2 ? kMaxEntries : grown * 2;
    return grown;
}
