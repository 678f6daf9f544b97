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
    for (uint32_t i = 0; i < g.catalogue.count; ++i) names.push_back(Narrow932(AsWide(CatalogueName(&g.catalogue, i))));
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
    void Use(const std::string& path) { Widen932(path, g.settings.FilePath); }
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
    EXPECT_EQ(g.catalogue.count, 11u);
    const uint16_t kinds[6] = {4, 3, 1, 1, 1, 1};   // photos count with the bitmaps
    for (int i = 0; i < 6; ++i) EXPECT_EQ(g.kindCounts[i], kinds[i]) << "kind " << i + 1;
    EXPECT_EQ(KindTotal(), g.catalogue.count);

    // The walk: sorted, and back to the first after the last.
    std::vector<std::string> walked;
    for (int i = 0; i < 12; ++i) {
        NextCatalogueItem(nullptr);
        walked.push_back(Narrow932(g.currentPath));
    }
    EXPECT_EQ(walked[0], folder + "\\A.BMP");
    EXPECT_EQ(walked[8], folder + "\\old.txt");
    EXPECT_EQ(walked[10], folder + "\\\x82\xA0.TXT");
    EXPECT_EQ(walked[11], walked[0]);
    EXPECT_EQ(KindFromFileName(walked[8].c_str()), KindText);

    // A bare drive is its root, not the folder the saver stands in.
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(std::wstring(folder.begin(), folder.end()).c_str()));
    Use(folder.substr(0, 2));
    BuildCatalogue(nullptr);
    SetCurrentDirectoryW(before);
    EXPECT_EQ(std::wstring(g.catalogueFolder), std::wstring(folder.begin(), folder.begin() + 3));
    for (const std::string& entry : Entries()) EXPECT_NE(entry, "b.txt");
}

TEST_F(CatalogueWine, LongNamesAreTakenWholeAndOpen)
{
    folder = MakeTempFolder("long");
    WriteFileBytes(folder + "\\SHORT.TXT", "short");
    // A name without a code page 932 form (Hangul), and names of 255
    // characters in a folder deep enough that their paths pass MAX_PATH.
    wchar_t full[MAX_PATH];
    GetFullPathNameW(std::wstring(folder.begin(), folder.end()).c_str(), MAX_PATH, full, nullptr);
    std::wstring deep = std::wstring(full) + L"\\" + std::wstring(200 - lstrlenW(full), L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    const std::wstring longest = std::wstring(251, L'n') + L".txt";
    for (const std::wstring& path : {std::wstring(full) + L"\\A rather long saying.txt",
                                     std::wstring(full) + L"\\\xD55C\xAE00.txt", std::wstring(full) + L"\\B\x2603.txt",
                                     L"\\\\?\\" + deep + L"\\" + longest}) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "long", 4, &written, nullptr);
        CloseHandle(h);
    }
    Use(folder);
    BuildCatalogue(nullptr);
    ASSERT_EQ(g.catalogue.count, 4u);   // the deep folder has no kind
    EXPECT_EQ(Entries()[0], "A rather long saying.txt");
    EXPECT_EQ(Entries()[1], "SHORT.TXT");
    // After every name with a Shift-JIS form, "B" or not; then by code point.
    EXPECT_STREQ(AsWide(CatalogueName(&g.catalogue, 2)), L"B\x2603.txt");
    EXPECT_STREQ(AsWide(CatalogueName(&g.catalogue, 3)), L"\xD55C\xAE00.txt");
    EXPECT_EQ(KindTotal(), 4u);
    for (uint32_t i : {0u, 3u}) {   // each opens the very file it names
        g.catalogueCursor = i;
        NextCatalogueItem(nullptr);
        ASSERT_EQ(ReadWordsFile(nullptr, g.currentPath), 0) << Narrow932(g.currentPath);
        EXPECT_EQ(g.textLength, 4u);
        FreeGlobalBlock(&g.textBuffer);
    }

    // The deep folder as the words folder: its 255-character name is taken
    // and opened through the long form of its 456-character path.
    Widen932("", g.settings.FilePath);
    lstrcpynW(g.settings.FilePath, deep.c_str(), kFilePathChars);
    BuildCatalogue(nullptr);
    ASSERT_EQ(g.catalogue.count, 1u);
    NextCatalogueItem(nullptr);
    EXPECT_EQ(std::wstring(g.currentPath), L"\\\\?\\" + deep + L"\\" + longest);
    EXPECT_EQ(ReadWordsFile(nullptr, g.currentPath), 0);
    FreeGlobalBlock(&g.textBuffer);
    EXPECT_TRUE(DeleteFileW(g.currentPath));
}

TEST_F(CatalogueWine, MissingOrEmptyFolderGivesNoCatalogue)
{
    folder = MakeTempFolder("none");
    Use(folder);
    BuildCatalogue(nullptr);
    EXPECT_EQ(g.catalogue.count, 0u);
    EXPECT_EQ(g.catalogue.entries, nullptr);
    Use(folder + "\\missing");
    BuildCatalogue(nullptr);
    EXPECT_EQ(g.catalogue.count, 0u);
    EXPECT_EQ(g.catalogue.entries, nullptr);
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
    ASSERT_EQ(g.catalogue.count, static_cast<uint32_t>(count));
    std::vector<std::string> entries = Entries();
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d.TXT", i);
        ASSERT_EQ(entries[i], name);
    }
    // Memory in proportion to the names, nothing kept from the build.
    EXPECT_EQ(g.catalogue.capacity, static_cast<uint32_t>(count));
    EXPECT_EQ(g.catalogue.namesUsed, static_cast<size_t>(count) * 10);
    EXPECT_EQ(g.catalogue.keys, nullptr);
}
