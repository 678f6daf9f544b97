// Fuzz target of the catalogue's name rules: a folder length and names from
// the input (pairs of bytes as UTF-16, cut at a zero unit), each in a block
// of exactly its size with its terminator. A taken name must fit its item
// path; the sort must give the same order as a plain stable sort of the
// sort keys.
#include "saver/show/catalogue.h"

#include <algorithm>
#include <cstdint>
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
    const size_t folderLength = data[0] * 2u;
    std::vector<std::u16string> pieces(1);
    for (size_t i = 1; i + 1 < size; i += 2) {
        char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0) pieces.emplace_back();
        else pieces.back() += unit;
    }
    Catalogue c = {};
    std::vector<std::pair<std::string, std::u16string>> names;
    for (const std::u16string& piece : pieces) {
        std::vector<char16_t> name(piece.begin(), piece.end());
        name.push_back(u'\0');
        uint16_t kind = ChooseCatalogueName(name.data(), piece.size(), folderLength);
        Require(kind <= KindTextGen && ItemKind16(name.data()) <= KindTextGen);
        if (kind == KindNone) continue;
        std::vector<unsigned char> foreign(1 + 3 * piece.size() + 1, 0xA5);   // every name as a foreign one
        const size_t used = ForeignNameKey(name.data(), piece.size(), foreign.data());
        Require(used <= 1 + 3 * piece.size() && foreign[1 + 3 * piece.size()] == 0xA5);
        std::string key(foreign.begin(), foreign.begin() + used);
        Require(AddCatalogueName(&c, name.data(), piece.size(), reinterpret_cast<const uint8_t*>(key.data()), key.size()));
        names.emplace_back(key, piece);
        std::vector<char16_t> path(kItemPathChars);
        Require(ComposeItemPath(path.data(), path.size(), std::u16string(folderLength, u'f').c_str(), name.data()));
    }
    SortCatalogue(&c);
    std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Require(c.count == names.size());
    for (uint32_t i = 0; i < c.count; ++i) Require(names[i].second == CatalogueName(&c, i));
    FreeCatalogueData(&c);
    return 0;
}
