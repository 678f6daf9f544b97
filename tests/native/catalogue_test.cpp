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

std::vector<std::string> Sorted(const std::vector<std::string>& names)
{
    std::vector<char> block(names.size() * kEntryNameSize, '\0');
    for (size_t i = 0; i < names.size(); ++i) std::memcpy(&block[i * kEntryNameSize], names[i].data(), names[i].size());
    SortEntries(block.data(), static_cast<uint32_t>(names.size()));
    std::vector<std::string> out;
    for (size_t i = 0; i < names.size(); ++i) out.emplace_back(&block[i * kEntryNameSize]);
    return out;
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
    for (const KindRow& r : rows)
        EXPECT_EQ(KindFromFileName(Terminated(r.path).data()), r.kind) << "row at line " << r.line;
    EXPECT_EQ(KindFromFileName(nullptr), KindNone);
}

TEST(Catalogue, ShortNameShapeCountsBytes)
{
    const struct {
        int line;
        const char* name;
        bool shortForm;
    } rows[] = {
        {__LINE__, "A.TXT", true},
        {__LINE__, "ABCDEFGH.TXT", true},
        {__LINE__, "ABCDEFGHI.TXT", false},
        {__LINE__, "ABC.TEXT", false},
        {__LINE__, "A.B.TXT", false},
        {__LINE__, "NOEXT", true},
        {__LINE__, "ABC.", false},
        {__LINE__, ".TXT", false},
        {__LINE__, "", false},
        {__LINE__, "a b.txt", true},
        {__LINE__, "\x82\xB1\x82\xC6\x82\xED\x82\xB4.txt", true},      // ことわざ.txt: 8 bytes of base
        {__LINE__, "\x82\xB1\x82\xC6\x82\xED\x82\xB4" "1.txt", false}, // 9 bytes
        {__LINE__, "A.\x95\x5C", true},                                 // a 2-byte extension
    };
    for (const auto& r : rows) EXPECT_EQ(IsShortName83(r.name), r.shortForm) << "row at line " << r.line;
}

TEST(Catalogue, EntryNameTakesTheAliasOrLeavesTheNameOut)
{
    const struct {
        int line;
        const char* found;
        bool fits;
        const char* alias;
        size_t folderLength;
        uint16_t kind;
        const char* entry;
    } rows[] = {
        {__LINE__, "KOTO01.TXT", true, "", 10, KindText, "KOTO01.TXT"},
        {__LINE__, "a.bmp", true, "A.BMP", 10, KindBitmap, "a.bmp"},
        {__LINE__, "A rather long saying.txt", true, "ARATHE~1.TXT", 10, KindText, "ARATHE~1.TXT"},
        {__LINE__, "A rather long saying.txt", true, "", 10, KindNone, ""},
        {__LINE__, "A rather long saying.txt", true, "ARATHER~LONG.TXT", 10, KindNone, ""},
        {__LINE__, "double.dot.wav", true, "DOUBLE~1.WAV", 10, KindWave, "DOUBLE~1.WAV"},
        // Twelve bytes or fewer are kept as found, whatever their shape.
        {__LINE__, "v1.2.txt", true, "V12~1.TXT", 10, KindText, "v1.2.txt"},
        {__LINE__, "v1.2.txt", true, "", 10, KindText, "v1.2.txt"},
        {__LINE__, "a b c d .bmp", true, "ABCD~1.BMP", 10, KindBitmap, "a b c d .bmp"},
        {__LINE__, "\x95\x5C\x8E\xA6.1.txt", true, "", 10, KindText, "\x95\x5C\x8E\xA6.1.txt"},
        {__LINE__, "a.b.c.d.e.txt", true, "ABCDE~1.TXT", 10, KindText, "ABCDE~1.TXT"},   // 13 bytes
        {__LINE__, "strange.txt.bmp", true, "STRANG~1.TXT", 10, KindNone, ""},  // alias of another kind
        {__LINE__, "a long photo name.jpeg", true, "ALONGP~1.JPE", 10, KindBitmap, "ALONGP~1.JPE"},
        {__LINE__, "unknown.tiff", true, "UNKNOW~1.TIF", 10, KindNone, ""},
        {__LINE__, "", false, "KOREAN~1.TXT", 10, KindNone, ""},               // no code page 932 form
        {__LINE__, ".hidden.txt", true, "HIDDEN~1.TXT", 10, KindNone, ""},
        // folder + "\" + 12 bytes + terminator must fit 100 bytes.
        {__LINE__, "ABCDEFGH.TXT", true, "", 86, KindText, "ABCDEFGH.TXT"},
        {__LINE__, "ABCDEFGH.TXT", true, "", 87, KindNone, ""},
        {__LINE__, "A.TXT", true, "", 93, KindText, "A.TXT"},
        {__LINE__, "A.TXT", true, "", 127, KindNone, ""},
    };
    for (const auto& r : rows) {
        char entry[kEntryNameSize];
        std::memset(entry, 'Z', sizeof entry);
        EXPECT_EQ(ChooseEntryName(r.found, r.fits, r.alias, r.folderLength, entry), r.kind) << "row at line " << r.line;
        EXPECT_STREQ(entry, r.entry) << "row at line " << r.line;
        EXPECT_EQ(entry[kEntryNameSize - 1], '\0') << "row at line " << r.line;
    }
}

TEST(Catalogue, EntriesSortByUnsignedBytes)
{
    EXPECT_EQ(Sorted({"B.TXT", "a.txt", "A.BMP"}), (std::vector<std::string>{"A.BMP", "B.TXT", "a.txt"}));
    // Shift-JIS ("あ.TXT") after every ASCII name, "~" included; a prefix first.
    EXPECT_EQ(Sorted({"\x82\xA0.TXT", "z.txt", "~.txt", "AB.TXT", "A.TXT", "AB"}),
              (std::vector<std::string>{"A.TXT", "AB", "AB.TXT", "z.txt", "~.txt", "\x82\xA0.TXT"}));
    EXPECT_LT(CompareEntryNames("Z", "a"), 0);
    EXPECT_GT(CompareEntryNames("\x82\xA0", "~"), 0);
    EXPECT_EQ(CompareEntryNames("SAME.TXT", "SAME.TXT"), 0);
}

TEST(Catalogue, EqualNamesKeepTheirOrder)
{
    // Bytes after the terminator tell the entries apart without taking part
    // in the comparison. Enough of them that a sort which is stable only
    // for short runs shows itself.
    const int count = 60;
    std::vector<char> block(count * kEntryNameSize, '\0');
    std::string expected;
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < count; ++i)
            if ((i % 3 == 0 ? 2 : i % 7 == 0 ? 0 : 1) == pass) expected += static_cast<char>(' ' + i);
    for (int i = 0; i < count; ++i) {
        const char* name = i % 3 == 0 ? "B.TXT" : i % 7 == 0 ? "A.BMP" : "A.TXT";
        std::memcpy(&block[i * kEntryNameSize], name, std::strlen(name));
        block[i * kEntryNameSize + 11] = static_cast<char>(' ' + i);
    }
    SortEntries(block.data(), count);
    std::string order;
    for (int i = 0; i < count; ++i) order += block[i * kEntryNameSize + 11];
    EXPECT_EQ(order, expected);
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
    char path[kItemPathSize];
    EXPECT_TRUE(ComposeItemPath(path, "C:\\words", "KOTO01.TXT"));
    EXPECT_STREQ(path, "C:\\words\\KOTO01.TXT");
    EXPECT_TRUE(ComposeItemPath(path, "C:\\words\\", "A.TXT"));
    EXPECT_STREQ(path, "C:\\words\\\\A.TXT");

    std::string folder(86, 'f');
    EXPECT_TRUE(ComposeItemPath(path, folder.c_str(), "ABCDEFGH.TXT"));
    EXPECT_EQ(std::strlen(path), 99u);
    folder += 'f';
    std::memset(path, 'x', sizeof path);
    EXPECT_FALSE(ComposeItemPath(path, folder.c_str(), "ABCDEFGH.TXT"));
    EXPECT_STREQ(path, "");
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
