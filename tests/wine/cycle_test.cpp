#include <gtest/gtest.h>

#include "saver/saver_state.h"
#include "saver/common/random.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <map>
#include <set>
#include <string>

using CycleTest = SaverWindowTest;

TEST_F(CycleTest, EmptyFolderDispatchesTheSentinelOnTheFirstTick)
{
    SetSettingDword("Opening", 0);
    SetSettingText("FilePath", "C:\\no\\such\\folder");
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    EXPECT_EQ(g.openingState, 0u);
    Tick(saver, 1);
    EXPECT_EQ(g.openingState, 100u);
    EXPECT_STREQ(g.currentPath, L"EM998");
    EXPECT_EQ(g.currentKind, 1u);
}

TEST_F(CycleTest, OneBackColourPaintsThatColour)
{
    SetSettingDword("Opening", 0);
    SetSettingText("Back", "16711680,");   // blue
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    Tick(saver, 1);
    InvalidateRect(saver, nullptr, TRUE);
    UpdateWindow(saver);
    EXPECT_EQ(PixelAt(saver, 5, 5), RGB(0, 0, 255));
}

TEST_F(CycleTest, EmptyFolderThatExistsAlsoGivesTheSentinel)
{
    std::string folder = MakeTempFolder("empty");
    SetSettingDword("Opening", 0);
    SetSettingText("FilePath", folder.c_str());
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    Tick(saver, 1);
    EXPECT_EQ(g.catalogue.count, 0u);
    EXPECT_STREQ(g.currentPath, L"EM998");
    EXPECT_EQ(g.currentKind, 1u);
    RemoveTree(folder);
}

namespace {
// The colour most pixels of a surface have, leaving out one colour.
COLORREF CommonestColourBesides(HDC dc, int width, int height, COLORREF besides)
{
    std::map<COLORREF, int> seen;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != besides) ++seen[c];
        }
    COLORREF best = CLR_INVALID;
    int most = 0;
    for (const auto& s : seen)
        if (s.second > most) best = s.first, most = s.second;
    return best;
}
}

TEST_F(CycleTest, EveryListPickReachesEveryEntry)
{
    // Four entries in every list: a pick stuck on one entry, or one that
    // never reaches the last, leaves an entry unseen.
    std::string folder = MakeTempFolder("picks");
    WriteFileBytes(folder + "\\A.TXT", "Wm");
    SetSettingDword("Opening", 0);
    SetSettingDword("Display", 1);
    SetSettingText("FilePath", folder.c_str());
    SetSettingText("Back", "128,32768,8388608,8421376,");
    SetSettingText("Color", "255,65280,16711680,65535,");
    SetSettingText("Font", "FaceA,FaceB,FaceC,FaceD,");
    SetSettingText("Fade", "02,05,09,13,");
    ASSERT_NO_FATAL_FAILURE(OpenSaver(160, 120));
    SeedRandom(12345);

    std::set<COLORREF> backs, texts;
    std::set<std::string> faces;
    std::set<int> kinds;
    for (int item = 0; item < 32; ++item) {
        Tick(saver, 1);   // the item's first tick draws every pick
        ASSERT_EQ(g.currentKind, 1u);
        ASSERT_NE(g.SourceSurface.dc, nullptr);
        LOGBRUSH brush = {};
        GetObjectW(g.BackgroundBrush, sizeof brush, &brush);
        backs.insert(brush.lbColor);
        faces.insert(g.faceName);
        kinds.insert(g.transition.kind);
        texts.insert(CommonestColourBesides(g.SourceSurface.dc, 160, 120, brush.lbColor));
        for (int tick = 0; g.itemBusy && tick < 200; ++tick) Tick(saver, 1);
        ASSERT_EQ(g.itemBusy, 0u);
    }
    EXPECT_EQ(backs, (std::set<COLORREF>{128, 32768, 8388608, 8421376}));
    EXPECT_EQ(texts, (std::set<COLORREF>{255, 65280, 16711680, 65535}));
    EXPECT_EQ(faces, (std::set<std::string>{"FaceA", "FaceB", "FaceC", "FaceD"}));
    EXPECT_EQ(kinds, (std::set<int>{2, 5, 9, 13}));
    RemoveTree(folder);
}
