#include "saver/show/catalogue.h"

#include "common/cp932.h"

#include <algorithm>
#include <cstring>

namespace {
struct Entry {
    char name[kEntryNameSize];
};
static_assert(sizeof(Entry) == kEntryNameSize, "entries are packed 13-byte names");

// More entries than this would make the block larger than a 32-bit size
// can say; such a folder stops growing there.
const uint32_t kMaxEntries = 0x7FFFFFFFu / kEntryNameSize;

}

bool IsShortName83(const char* name)
{
    if (name == nullptr) return false;
    size_t base = 0, extension = 0;
    bool dotSeen = false;
    for (const char* p = name; *p != '\0';) {
        const char* next = NextChar932(p);
        size_t bytes = static_cast<size_t>(next - p);
        if (*p == '.') {
            if (dotSeen) return false;
            dotSeen = true;
        } else if (dotSeen) {
            extension += bytes;
        } else {
            base += bytes;
        }
        if (base > 8 || extension > 3) return false;
        p = next;
    }
    return base >= 1 && (!dotSeen || extension >= 1);
}

uint16_t ChooseEntryName(const char* foundName, bool nameFits, const char* shortName,
                         size_t folderLength, char entry[kEntryNameSize])
{
    std::memset(entry, 0, kEntryNameSize);
    if (foundName == nullptr || !nameFits) return KindNone;
    uint16_t kind = KindFromFileName(foundName);
    if (kind == KindNone) return KindNone;
    // A found name that fits the entry is kept as it is, whatever its
    // shape ("v1.2.txt"): its alias would sort elsewhere, and a volume
    // without aliases has none to give.
    const char* chosen = nullptr;
    size_t foundLength = std::strlen(foundName);
    if (foundLength >= 1 && foundLength <= kEntryNameSize - 1) {
        chosen = foundName;
    } else if (shortName != nullptr && IsShortName83(shortName) && KindFromFileName(shortName) == kind) {
        // The alias names the same file; cutting the long name would name
        // another one (or none).
        chosen = shortName;
    }
    if (chosen == nullptr) return KindNone;
    size_t length = std::strlen(chosen);
    if (folderLength + 1 + length + 1 > kItemPathSize) return KindNone;
    std::memcpy(entry, chosen, length);
    return kind;
}

void CountKind(uint16_t counts[6], uint16_t kind)
{
    if (kind < KindText || kind > KindTextGen) return;
    if (counts[kind - 1] != 0xFFFF) ++counts[kind - 1];
}

int CompareEntryNames(const char* a, const char* b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    while (*x != 0 && *x == *y) {
        ++x;
        ++y;
    }
    return static_cast<int>(*x) - static_cast<int>(*y);
}

void SortEntries(char* entries, uint32_t count)
{
    if (entries == nullptr || count < 2) return;
    Entry* first = reinterpret_cast<Entry*>(entries);
    std::stable_sort(first, first + count,
                     [](const Entry& a, const Entry& b) { return CompareEntryNames(a.name, b.name) < 0; });
}

bool ComposeItemPath(char* out, const char* folder, const char* name)
{
    std::memset(out, 0, kItemPathSize);
    if (folder == nullptr || name == nullptr) return false;
    size_t folderLength = std::strlen(folder);
    size_t nameLength = std::strlen(name);
    if (folderLength + 1 + nameLength + 1 > kItemPathSize) return false;
    std::memcpy(out, folder, folderLength);
    out[folderLength] = '\\';
    std::memcpy(out + folderLength + 1, name, nameLength);
    return true;
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
