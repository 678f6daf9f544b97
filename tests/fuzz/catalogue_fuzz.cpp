// Fuzz target of the catalogue's name rules: a folder length and UTF-16
// names (pairs of input bytes, cut at a zero unit), each in a block of
// exactly its size with its terminator. A chosen name must have a kind and
// an item path that fits; the sort must give the order of a plain stable
// sort of the keys, and the walk must visit every name.
#include "saver/show/catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 4096) return 0;
    const size_t folderLength = data[0] + data[0];   // up to 510 units
    std::vector<std::u16string> names(1);
    for (size_t i = 1; i + 1 < size; i += 2) {
        char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0) names.emplace_back();
        else names.back() += unit;
    }
    Catalogue c = {};
    std::vector<std::pair<std::string, std::u16string>> expected;
    for (const std::u16string& name : names) {
        std::vector<char16_t> block(name.begin(), name.end());
        block.push_back(u'\0');
        uint16_t kind = ChooseCatalogueName(block.data(), name.size(), folderLength);
        Require(kind <= KindTextGen && ItemKind16(block.data()) <= KindTextGen);
        if (kind == KindNone) continue;
        Require(name.size() <= kNameChars && folderLength + name.size() + 10 <= kItemPathChars);
        std::string key;
        for (size_t at = 0; at < name.size();) {
            size_t before = at;
            unsigned char foreign[4];
            AppendForeignKey(NextCodePoint(block.data(), name.size(), &at), foreign);
            Require(at > before && at <= name.size());
            key.append(reinterpret_cast<char*>(foreign), 4);
        }
        Require(AddCatalogueName(&c, block.data(), name.size(), reinterpret_cast<const unsigned char*>(key.data()),
                                 key.size()));
        expected.emplace_back(key, name);

        std::u16string folder(folderLength, u'f');
        if (folderLength >= 3) folder[1] = u':', folder[2] = u'\\';
        std::vector<char16_t> path(kItemPathChars);
        Require(ComposeItemPath(path.data(), path.size(), folder.c_str(), block.data()));
        Require(std::u16string(path.data()).size() < kItemPathChars);
    }
    SortCatalogue(&c);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });   // unsigned bytes
    Require(c.count == expected.size());
    uint32_t cursor = 0;
    for (uint32_t i = 0; i < c.count; ++i)
        Require(expected[TakeCatalogueIndex(&cursor, c.count)].second == CatalogueName(&c, i));
    FreeCatalogueData(&c);
    return 0;
}
