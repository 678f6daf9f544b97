#include <gtest/gtest.h>

#include "saver/show/catalogue.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
struct KindRow {
    int line;
    std::string path;
    uint16_t kind;
};

// A name in a block of exactly its bytes and terminator: a step past the
// terminator is an address-sanitizer finding.
std::vector<char> Terminated(const std::string& text)
{
    std::vector<char> block(text.size() + 1, '\0');
    std::copy(text.begin(), text.end(), block.begin());
    return block;
}

// The catalogue's order of names given by their sort keys (here the
// Shift-JIS bytes); each entry's name is its place in the input, so the
// sorted catalogue tells which key went where.
std::vector<std::string> Sorted(const std::vector<std::string>& keys)
{
    Catalogue c = {};
    for (size_t i = 0; i < keys.size(); ++i) {
        char16_t name[3] = {static_cast<char16_t>(i / 0x7FFF + 1), static_cast<char16_t>(i % 0x7FFF + 1), u'\0'};
        EXPECT_TRUE(AddCatalogueName(&c, name, 2, reinterpret_cast<const unsigned char*>(keys[i].data()),
                                     keys[i].size()));
    }
    SortCatalogue(&c);
    std::vector<std::string> out;
    for (uint32_t i = 0; i < c.count; ++i) {
        const char16_t* name = CatalogueName(&c, i);
        out.push_back(keys.at((name[0] - size_t{1}) * 0x7FFF + (name[1] - size_t{1})));
    }
    EXPECT_EQ(c.keys, nullptr);
    FreeCatalogueData(&c);
    return out;
}

const std::u16string kLone(1, static_cast<char16_t>(0xD800));

std::string Key(const std::u16string& name)   // ASCII as itself, any other name as the foreign key
{
    if (std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; }))
        return std::string(name.begin(), name.end());
    std::vector<unsigned char> key(1 + 3 * name.size());
    key.resize(ForeignNameKey(name.data(), name.size(), key.data()));
    return std::string(key.begin(), key.end());
}
}

TEST(Catalogue, KindComesFromTheExtensionOfTheLastComponent)
{
    const std::string longFolder = "C:\\" + std::string(80, 'x') + "\\" + std::string(60, 'y');
    const KindRow rows[] = {
        {__LINE__, "README.TXT", KindText},
        {__LINE__, "readme.txt", KindText},
        {__LINE__, "a.BMP", KindBitmap},
        {__LINE__, "tune.Mid", KindMidi},
        {__LINE__, "ring.WAV", KindWave},
        {__LINE__, "clip.avi", KindAvi},
        {__LINE__, "gen.DlL", KindTextGen},
        {__LINE__, "notes.text", KindNone},
        {__LINE__, "song.midi", KindNone},
        {__LINE__, "pic.jpg", KindBitmap},            // photos are pictures too
        {__LINE__, "PIC.JPEG", KindBitmap},
        {__LINE__, "PIC~1.Jpe", KindBitmap},
        {__LINE__, "a.pNg", KindBitmap},
        {__LINE__, "a.GIF", KindBitmap},
        {__LINE__, "a.jpg2", KindNone},
        {__LINE__, "a.tiff", KindNone},
        {__LINE__, "C:\\x.png\\noext", KindNone},
        {__LINE__, "noext", KindNone},
        {__LINE__, "trail.", KindNone},
        {__LINE__, ".hidden.txt", KindNone},
        {__LINE__, ".", KindNone},
        {__LINE__, "..", KindNone},
        {__LINE__, "", KindNone},
        {__LINE__, "C:\\words\\KOTO01.TXT", KindText},
        {__LINE__, "C:\\words.txt\\noext", KindNone},      // the dot is in the folder
        {__LINE__, "C:\\words\\.hidden.txt", KindText},    // only the whole text's first byte counts
        {__LINE__, "\\\\server\\share\\a.bmp", KindBitmap},
        {__LINE__, longFolder + "\\saying.txt", KindText},
        {__LINE__, longFolder + ".bmp\\long name of a file.wav", KindWave},
        // Folder names with a Shift-JIS trail byte 0x5C ("表", "ソ").
        {__LINE__, "C:\\\x95\x5C\\a.txt", KindText},
        {__LINE__, "C:\\\x83\x5C\x83\x5C.bmp", KindBitmap},
        {__LINE__, "C:\\\x95\x5C.txt\\\x83\x5C", KindNone},
        {__LINE__, "C:\\w\\\xE0\x5C.\xFC\x5C", KindNone},   // the second lead range
        {__LINE__, "C:\\w\\a.txt\x81", KindNone},            // a lead byte last
        {__LINE__, "C:\\w\\a.bm\xFC", KindNone},
    };
    for (const KindRow& r : rows) {
        EXPECT_EQ(KindFromFileName(Terminated(r.path).data()), r.kind) << "row at line " << r.line;
        if (std::all_of(r.path.begin(), r.path.end(), [](char c) { return c > 0; }))
            EXPECT_EQ(KindFromFileName16(std::u16string(r.path.begin(), r.path.end()).c_str()), r.kind) << r.line;
    }
    EXPECT_EQ(KindFromFileName(nullptr), KindNone);
    // UTF-16 units whose low bytes spell ASCII ("t", "\\", ".") are none of it.
    const struct { int line; std::u16string path; uint16_t kind, item; } wide[] = {
        {__LINE__, u"a.\u0174xt", KindNone, KindNone}, {__LINE__, u"a.tx\u0174", KindNone, KindNone},
        {__LINE__, u"a.J\u0150G", KindNone, KindNone}, {__LINE__, u"a\u022Etxt", KindNone, KindNone},
        {__LINE__, u"C:\\w\u015C.txt", KindText, KindText}, {__LINE__, u"C:\\w\\\u012Etxt", KindNone, KindNone},
    };
    for (const auto& r : wide) {
        EXPECT_EQ(KindFromFileName16(r.path.c_str()), r.kind) << r.line;
        EXPECT_EQ(ItemKind16(r.path.c_str()), r.item) << r.line;
        EXPECT_EQ(IsPhotoFileName16(r.path.c_str()), false) << r.line;
    }
}

TEST(Catalogue, EveryNameIsTakenWholeWithOrWithoutAnAlias)
{
    // What a volume without 8.3 aliases (exFAT, NTFS with short names off)
    // gives: the real name alone.
    const std::u16string n255 = std::u16string(251, u'x') + u".jpg";
    const struct {
        int line;
        std::u16string found;
        size_t folderLength;
        uint16_t kind;
    } rows[] = {
        {__LINE__, u"KOTO01.TXT", 10, KindText},
        {__LINE__, u"PXL_20241224_183015123.jpg", 10, KindBitmap},
        {__LINE__, u"20240101_123456.jpg", 10, KindBitmap},
        {__LINE__, u"A rather long saying.txt", 10, KindText},
        {__LINE__, u"Photos \u2013 2024.bmp", 10, KindBitmap},           // no Shift-JIS form
        {__LINE__, u"\uC0AC\uC9C4.png", 10, KindBitmap},                  // Korean
        {__LINE__, u"Zo\u00EB.txt", 10, KindText},
        {__LINE__, u"\U0001F338.wav", 10, KindWave},                      // a pair of surrogates
        {__LINE__, kLone + u".txt", 10, KindText},                       // an unpaired one, as NTFS allows
        {__LINE__, u"strange.txt.bmp", 10, KindBitmap},
        {__LINE__, u".hidden.txt", 10, KindNone},
        {__LINE__, u"unknown.tiff", 10, KindNone},
        {__LINE__, u"", 10, KindNone},
        {__LINE__, n255, 259, KindBitmap},                                 // the longest folder and name
        {__LINE__, n255 + u"g", 10, KindNone},                            // no volume gives 256
        {__LINE__, std::u16string(u"a\0b.txt", 7), 10, KindNone},
    };
    Catalogue c = {};
    std::vector<std::u16string> taken;
    for (const auto& r : rows) {
        EXPECT_EQ(ChooseCatalogueName(r.found.c_str(), r.found.size(), r.folderLength), r.kind) << "line " << r.line;
        if (r.kind == KindNone) continue;
        const std::string key = Key(r.found);
        ASSERT_TRUE(AddCatalogueName(&c, r.found.c_str(), r.found.size(),
                                     reinterpret_cast<const unsigned char*>(key.data()), key.size()));
        taken.push_back(r.found);
    }
    for (uint32_t i = 0; i < c.count; ++i) EXPECT_EQ(std::u16string(CatalogueName(&c, i)), taken[i]) << i;
    FreeCatalogueData(&c);
    EXPECT_EQ(ChooseCatalogueName(nullptr, 3, 10), KindNone);
}

TEST(Catalogue, EntriesSortByUnsignedBytes)
{
    EXPECT_EQ(Sorted({"B.TXT", "a.txt", "A.BMP"}), (std::vector<std::string>{"A.BMP", "B.TXT", "a.txt"}));
    // Shift-JIS ("あ.TXT") after every ASCII name, "~" included; a prefix first.
    EXPECT_EQ(Sorted({"\x82\xA0.TXT", "z.txt", "~.txt", "AB.TXT", "A.TXT", "AB"}),
              (std::vector<std::string>{"A.TXT", "AB", "AB.TXT", "z.txt", "~.txt", "\x82\xA0.TXT"}));
    // A name with a character Shift-JIS lacks after every name that has a Shift-JIS form,
    // whatever its first letter; such names among themselves by code points, a pair of surrogates as one.
    EXPECT_EQ(Sorted({Key(u"\uC0AC.png"), Key(u"b.txt"), Key(u"\U0001F338.wav"), "\x82\xA0.TXT", Key(u"\u2013.bmp"),
                      Key(u"a" + kLone + u".txt"), Key(u"a.txt"), Key(u"a\uFFFF"), Key(u"a\U00010000")}),
              (std::vector<std::string>{Key(u"a.txt"), Key(u"b.txt"), "\x82\xA0.TXT", Key(u"a" + kLone + u".txt"),
                                        Key(u"a\uFFFF"), Key(u"a\U00010000"), Key(u"\u2013.bmp"),
                                        Key(u"\uC0AC.png"), Key(u"\U0001F338.wav")}));
    // A pair that the name's length cuts is an unpaired unit.
    unsigned char cut[10];
    EXPECT_EQ(std::string(cut, cut + ForeignNameKey(u"a\U00010000", 2, cut)), Key(u"a" + kLone));
    // The key whole: the mark, then every code point in three bytes.
    EXPECT_EQ(std::string(cut, cut + ForeignNameKey(u"\U0001F338\U0010FFFFa", 5, cut)),
              std::string("\xFF\x01\xF3\x38\x10\xFF\xFF\x00\x00\x61", 10));
}

TEST(Catalogue, EqualNamesKeepTheirOrder)
{
    // Bytes after the terminator tell the entries apart without taking part
    // in the comparison. Enough of them that a sort which is stable only
    // for short runs shows itself.
    const int count = 60;
    Catalogue c = {};
    std::string expected;
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < count; ++i)
            if ((i % 3 == 0 ? 2 : i % 7 == 0 ? 0 : 1) == pass) expected += static_cast<char>(' ' + i);
    for (int i = 0; i < count; ++i) {
        const char* key = i % 3 == 0 ? "B.TXT" : i % 7 == 0 ? "A.BMP" : "A.TXT";
        char16_t name[2] = {static_cast<char16_t>(' ' + i), u'\0'};
        AddCatalogueName(&c, name, 1, reinterpret_cast<const unsigned char*>(key), std::strlen(key));
    }
    SortCatalogue(&c);
    std::string order;
    for (uint32_t i = 0; i < c.count; ++i) order += static_cast<char>(CatalogueName(&c, i)[0]);
    EXPECT_EQ(order, expected);
    FreeCatalogueData(&c);
}

TEST(Catalogue, LargeFolderSortsLikeAPlainByteOrder)
{
    std::mt19937 random(5);
    std::vector<std::string> names;
    for (int i = 0; i < 100000; ++i) {
        std::string n;
        int length = 1 + static_cast<int>(random() % 8);
        for (int j = 0; j < length; ++j) n += static_cast<char>(0x41 + random() % 4 + (random() % 3 == 0 ? 0x60 : 0));
        names.push_back(n + ".TXT");
    }
    std::vector<std::string> expected = names;
    std::stable_sort(expected.begin(), expected.end());   // char_traits<char> compares as unsigned bytes
    EXPECT_EQ(Sorted(names), expected);
}

TEST(Catalogue, ItemPathMustFitWhole)
{
    const std::u16string f240 = u"C:\\" + std::u16string(237, u'f'), n255(255, u'n');
    const std::u16string n19(19, u'n'), far19 = u"\\\\?\\" + f240 + u"\\" + n19;
    const struct {
        int line;
        std::u16string folder, name, path;   // no path: refused
        size_t room = kItemPathChars;
    } rows[] = {
        {__LINE__, u"C:\\words", u"KOTO01.TXT", u"C:\\words\\KOTO01.TXT"},
        {__LINE__, u"C:\\words\\", u"A.TXT", u"C:\\words\\A.TXT"},
        {__LINE__, u"C:\\", u"A.TXT", u"C:\\A.TXT"},
        {__LINE__, f240, std::u16string(18, u'n'), f240 + u"\\" + std::u16string(18, u'n')},   // 259 units
        {__LINE__, f240, std::u16string(19, u'n'), u"\\\\?\\" + f240 + u"\\" + std::u16string(19, u'n')},
        {__LINE__, u"\\\\pc\\share", n255, u"\\\\?\\UNC\\pc\\share\\" + n255},
        {__LINE__, u"words", n255, u"words\\" + n255},   // relative: only the platform can tell
        {__LINE__, u"\\\\?\\" + f240, n19, far19},
        {__LINE__, u"C:" + f240.substr(3), n255, u"C:" + f240.substr(3) + u"\\" + n255},   // drive-relative: as typed
        // Just room for the path and its terminator, and one unit less.
        {__LINE__, u"C:\\words", u"KOTO0001.TXT", u"C:\\words\\KOTO0001.TXT", 22}, {__LINE__, u"C:\\words", u"KOTO0001.TXT", u"", 21},
        {__LINE__, f240, n19, far19, 265}, {__LINE__, f240, n19, u"", 264},
    };
    char16_t path[kItemPathChars];
    for (const auto& r : rows) {
        EXPECT_EQ(ComposeItemPath(path, r.room, r.folder.c_str(), r.name.c_str()), !r.path.empty()) << r.line;
        EXPECT_EQ(std::u16string(path), r.path) << "line " << r.line;
    }
    std::fill(path, path + 20, u'x');
    EXPECT_FALSE(ComposeItemPath(path, 20, u"C:\\words", u"KOTO0001.TXT"));
    EXPECT_EQ(path[0], u'\0');
}

TEST(Catalogue, BareDriveNamesItsRoot)
{
    const struct { int line; std::u16string typed, folder; size_t room; } rows[] = {
        {__LINE__, u"C:", u"C:\\", 4}, {__LINE__, u"z:", u"z:\\", 260}, {__LINE__, u"A:", u"A:\\", 4},
        {__LINE__, u"C:", u"C:", 3},   {__LINE__, u"C:\\", u"C:\\", 260}, {__LINE__, u"C:words", u"C:words", 260},
        {__LINE__, u"1:", u"1:", 260}, {__LINE__, u"@:", u"@:", 260},   {__LINE__, u"[:", u"[:", 260},
        {__LINE__, u"C", u"C", 260},   {__LINE__, u"", u"", 260},       {__LINE__, u"CD:", u"CD:", 260},
    };
    for (const auto& r : rows) {
        std::u16string folder = r.typed + std::u16string(r.room - r.typed.size(), u'\0');
        RootBareDrive(&folder[0], r.room);
        EXPECT_EQ(std::u16string(folder.c_str()), r.folder) << "line " << r.line;
    }
}

TEST(Catalogue, CursorWrapsToTheFirstEntry)
{
    uint32_t cursor = 0;
    std::vector<uint32_t> taken;
    for (int i = 0; i < 7; ++i) taken.push_back(TakeCatalogueIndex(&cursor, 3));
    EXPECT_EQ(taken, (std::vector<uint32_t>{0, 1, 2, 0, 1, 2, 0}));
    cursor = 9;   // a catalogue rebuilt smaller
    EXPECT_EQ(TakeCatalogueIndex(&cursor, 3), 0u);
    EXPECT_EQ(cursor, 1u);
}

TEST(Catalogue, KindCountersStopAtTheirLargestValue)
{
    uint16_t counts[6] = {0, 0, 0, 0, 0, 0xFFFE};
    CountKind(counts, KindText);
    CountKind(counts, KindTextGen);
    CountKind(counts, KindTextGen);
    CountKind(counts, KindNone);
    CountKind(counts, 7);
    const uint16_t expected[6] = {1, 0, 0, 0, 0, 0xFFFF};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(counts[i], expected[i]) << "kind " << i + 1;
}

TEST(Catalogue, BlockGrowsGeometrically)
{
    uint32_t capacity = 1;
    int growths = 0;
    for (uint32_t need = 1; need <= 100000; ++need) {
        if (need <= capacity) continue;
        uint32_t grown = GrowCatalogueCapacity(capacity, need);
        ASSERT_GE(grown, need);
        capacity = grown;
        ++growths;
    }
    EXPECT_LE(growths, 14);
    EXPECT_LT(capacity, 2u * 100000u);
    EXPECT_EQ(GrowCatalogueCapacity(16, 0xFFFFFFFFu), 0u);
}

TEST(Catalogue, ItemKindLooksAtTheFileNameNotTheFolder)
{
    struct Case {
        int line;
        const char* path;
        uint16_t kind;
    } cases[] = {
        {__LINE__, "C:\\words\\A.TXT", KindText},
        {__LINE__, ".\\words\\A.TXT", KindText},      // relative folder: KindFromFileName alone gives 0
        {__LINE__, "..\\pics\\B.bmp", KindBitmap},
        {__LINE__, "C:\\words.txt\\C", KindNone},
        {__LINE__, "C:\\words\\.hidden.txt", KindNone},
        {__LINE__, "C:\\\x95\\\\D.DLL", KindTextGen},  // trail byte 0x5C is not a separator
        {__LINE__, "EM998", KindNone},
        // A trail byte 0x5C in the file name itself, from either lead range:
        // taken for a separator it would leave ".txt", which has no kind.
        {__LINE__, "C:\\w\\\x95\x5C.txt", KindText},
        {__LINE__, "C:\\w\\\xE0\x5C.txt", KindText},
        {__LINE__, "C:\\w\\\xFC\x5C.bmp", KindBitmap},
        {__LINE__, "C:\\w\\a.txt\xE0", KindNone},
    };
    for (const Case& c : cases) EXPECT_EQ(ItemKind(Terminated(c.path).data()), c.kind) << "line " << c.line;
}
