// Fuzz target of the catalogue's name rules: a folder length and pieces of
// text (a found name, its alias, more names) from the input, each in a
// block of exactly its size with its terminator. The chosen entry must be
// the found name or the alias, fit its 13 bytes and its item path; the
// sort must give the same order as a plain stable byte sort.
#include "saver/show/catalogue.h"

#include <algorithm>
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

char* Piece(const uint8_t* data, size_t length)
{
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, data, length);
    text[length] = '\0';
    return text;
}

void OneName(const char* name)
{
    uint16_t kind = KindFromFileName(name);
    Require(kind <= KindTextGen);
    if (name[0] == '.') Require(kind == KindNone);
    Require(ItemKind(name) <= KindTextGen);
    if (IsShortName83(name)) Require(std::strlen(name) <= kEntryNameSize - 1);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const size_t folderLength = data[0];
    std::vector<char*> pieces;
    size_t start = 1;
    for (size_t i = 1; i <= size; ++i) {
        if (i == size || data[i] == '\0') {
            pieces.push_back(Piece(data + start, i - start));
            start = i + 1;
        }
    }
    for (char* p : pieces) OneName(p);

    const char* found = pieces[0];
    const char* alias = pieces.size() > 1 ? pieces[1] : "";
    char entry[kEntryNameSize];
    uint16_t kind = ChooseEntryName(found, true, alias, folderLength, entry);
    Require(entry[kEntryNameSize - 1] == '\0');
    if (kind != KindNone) {
        Require(kind == KindFromFileName(found));
        Require(std::strcmp(entry, found) == 0 || std::strcmp(entry, alias) == 0);
        Require(folderLength + 1 + std::strlen(entry) + 1 <= kItemPathSize);
    } else {
        Require(entry[0] == '\0');
    }
    // A found name that fits an entry is kept as found.
    size_t foundLength = std::strlen(found);
    if (foundLength >= 1 && foundLength <= kEntryNameSize - 1 && KindFromFileName(found) != KindNone &&
        folderLength + 1 + foundLength + 1 <= kItemPathSize)
        Require(kind != KindNone && std::strcmp(entry, found) == 0);

    char path[kItemPathSize];
    std::string folder(found), name(alias);
    if (ComposeItemPath(path, found, alias)) Require(std::string(path) == folder + "\\" + name);
    else Require(path[0] == '\0' && folder.size() + name.size() + 2 > kItemPathSize);

    // Entries cut to 12 bytes; the sort must match a stable byte order.
    std::vector<std::string> names;
    for (char* p : pieces) names.emplace_back(p, std::min(std::strlen(p), size_t{kEntryNameSize - 1}));
    std::vector<char> block(names.size() * kEntryNameSize, '\0');
    for (size_t i = 0; i < names.size(); ++i) std::memcpy(&block[i * kEntryNameSize], names[i].data(), names[i].size());
    SortEntries(block.data(), static_cast<uint32_t>(names.size()));
    std::stable_sort(names.begin(), names.end());   // char_traits<char> compares as unsigned bytes
    for (size_t i = 0; i < names.size(); ++i) Require(names[i] == &block[i * kEntryNameSize]);
    for (size_t i = 1; i < names.size(); ++i)
        Require(CompareEntryNames(&block[(i - 1) * kEntryNameSize], &block[i * kEntryNameSize]) <= 0);

    for (char* p : pieces) std::free(p);
    return 0;
}
