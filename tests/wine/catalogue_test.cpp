#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/show/catalogue.h"
#include "saver/sayings/sayings_win.h"
#include "saver/show/catalogue_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
void MakeFolder(const std::string& path)
{
    Wide932 w;
    WideFrom932(&w, path.c_str(), -1);
    CreateDirectoryW(w.text, nullptr);
    FreeWide932(&w);
}

std::vector<std::string> Entries()
{
    std::vector<std::string> names;
    if (g.catalogueBlock == nullptr) return names;
    const char* block = static_cast<const char*>(GlobalLock(g.catalogueBlock));
    for (uint32_t i = 0; i < g.fileCount; ++i) names.emplace_back(block + i * kCatalogueEntrySize);
    GlobalUnlock(g.catalogueBlock);
    return names;
}

uint32_t KindTotal()
{
    uint32_t total = 0;
    for (uint16_t c : g.kindCounts) total += c;
    return total;
}

struct CatalogueWine : testing::Test {
    std::string folder;
    void SetUp() override { FreshSaverState(); }
    void TearDown() override
    {
        FreeCatalogue();
        if (!folder.empty()) RemoveTree(folder);
    }
    void Use(const std::string& path)
    {
        std::memset(g.settings.FilePath, 0, sizeof g.settings.FilePath);
        std::memcpy(g.settings.FilePath, path.c_str(), path.size());
    }
};
}

TEST_F(CatalogueWine, FolderIsCataloguedInByteOrderWithKindsCounted)
{
    folder = MakeTempFolder("cat");
    for (const char* name : {"b.txt", "A.BMP", "a.txt", "C.MID", "D.wav", "E.AVI", "F.dll", "x.jpg", "Y.Png", "notes.text",
                             ".hidden.txt", "noext", "\x82\xA0.TXT"})
        WriteFileBytes(folder + "\\" + name, "x");
    MakeFolder(folder + "\\old.txt");
    Use(folder);

    BuildCatalogue(nullptr);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A.BMP", "C.MID", "D.wav", "E.AVI", "F.dll", "Y.Png", "a.txt",
                                                   "b.txt", "old.txt", "x.jpg", "\x82\xA0.TXT"}));
    EXPECT_EQ(g.fileCount, 11u);
    const uint16_t kinds[6] = {4, 3, 1, 1, 1, 1};   // photos count with the bitmaps
    for (int i = 0; i < 6; ++i) EXPECT_EQ(g.kindCounts[i], kinds[i]) << "kind " << i + 1;
    EXPECT_EQ(KindTotal(), g.fileCount);

    // The walk: sorted, and back to the first after the last.
    std::vector<std::string> walked;
    for (int i = 0; i < 12; ++i) {
        NextCatalogueItem(nullptr);
        walked.push_back(g.currentPath);
    }
    EXPECT_EQ(walked[0], folder + "\\A.BMP");
    EXPECT_EQ(walked[8], folder + "\\old.txt");
    EXPECT_EQ(walked[10], folder + "\\\x82\xA0.TXT");
    EXPECT_EQ(walked[11], walked[0]);
    EXPECT_EQ(KindFromFileName(walked[8].c_str()), KindText);
}

TEST_F(CatalogueWine, LongNamesGoByTheirAliasOrNotAtAll)
{
    folder = MakeTempFolder("long");
    WriteFileBytes(folder + "\\A rather long saying.txt", "long");
    WriteFileBytes(folder + "\\SHORT.TXT", "short");
    // A name without a code page 932 form (Hangul).
    std::string korean = folder + "\\";
    {
        Wide932 w;
        WideFrom932(&w, korean.c_str(), -1);
        std::wstring path = std::wstring(w.text) + L"\xD55C\xAE00.txt";
        FreeWide932(&w);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Use(folder);
    BuildCatalogue(nullptr);

    FindData932 found;
    HANDLE search = FindFirst932((folder + "\\A rather long saying.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    std::string alias = found.shortName;

    std::vector<std::string> entries = Entries();
    if (alias.empty()) {
        EXPECT_EQ(entries, (std::vector<std::string>{"SHORT.TXT"}));
    } else {
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[1], "SHORT.TXT");
        EXPECT_EQ(entries[0], alias);
        // The alias opens the very file the long name names.
        NextCatalogueItem(nullptr);
        ASSERT_EQ(ReadWordsFile(nullptr, g.currentPath), 0) << g.currentPath;
        EXPECT_EQ(g.textLength, 4u);
        EXPECT_EQ(std::memcmp(GlobalLock(g.textBuffer), "long", 4), 0);
        GlobalUnlock(g.textBuffer);
        GlobalFree(g.textBuffer);
        g.textBuffer = nullptr;
    }
    EXPECT_EQ(KindTotal(), g.fileCount);
}

TEST_F(CatalogueWine, NamesWhosePathWouldNotFitAreLeftOut)
{
    folder = MakeTempFolder("fit");
    // A nested folder whose path is exactly 90 bytes long.
    std::string deep = folder + "\\";
    ASSERT_LT(deep.size(), 88u);
    deep += std::string(90 - deep.size(), 'd');
    MakeFolder(deep);
    WriteFileBytes(deep + "\\A.TXT", "a");               // 96 bytes of path: taken
    WriteFileBytes(deep + "\\ABCDEFGH.BMP", "b");        // 103 bytes: left out
    Use(deep);
    BuildCatalogue(nullptr);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A.TXT"}));
    EXPECT_EQ(g.kindCounts[KindBitmap - 1], 0);
    NextCatalogueItem(nullptr);
    EXPECT_EQ(std::string(g.currentPath), deep + "\\A.TXT");
    EXPECT_EQ(g.currentPath[kCurrentPathSize - 1], '\0');

    // A folder too long for any name: an empty catalogue, no block.
    std::string tooDeep = deep + "\\" + std::string(20, 'e');
    MakeFolder(tooDeep);
    WriteFileBytes(tooDeep + "\\A.TXT", "a");
    Use(tooDeep);
    BuildCatalogue(nullptr);
    EXPECT_EQ(g.fileCount, 0u);
    EXPECT_EQ(g.catalogueBlock, nullptr);
}

TEST_F(CatalogueWine, MissingOrEmptyFolderGivesNoCatalogue)
{
    folder = MakeTempFolder("none");
    Use(folder);
    BuildCatalogue(nullptr);
    EXPECT_EQ(g.fileCount, 0u);
    EXPECT_EQ(g.catalogueBlock, nullptr);
    Use(folder + "\\missing");
    BuildCatalogue(nullptr);
    EXPECT_EQ(g.fileCount, 0u);
    EXPECT_EQ(g.catalogueBlock, nullptr);
    EXPECT_EQ(KindTotal(), 0u);
}

TEST_F(CatalogueWine, ManyFilesAreAllTakenAndSorted)
{
    folder = MakeTempFolder("many");
    const int count = 600;
    for (int i = count - 1; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d.TXT", (i * 7919) % count);
        WriteFileBytes(folder + "\\" + name, "");
    }
    Use(folder);
    BuildCatalogue(nullptr);
    ASSERT_EQ(g.fileCount, static_cast<uint32_t>(count));
    std::vector<std::string> entries = Entries();
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d.TXT", i);
        ASSERT_EQ(entries[i], name);
    }
    EXPECT_EQ(GlobalSize(g.catalogueBlock), static_cast<SIZE_T>(count) * kCatalogueEntrySize);
}
