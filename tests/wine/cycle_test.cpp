#include <gtest/gtest.h>

#include "saver/saver_state.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>

using CycleTest = SaverWindowTest;

TEST_F(CycleTest, EmptyFolderDispatchesTheSentinelOnTheFirstTick)
{
    SetSettingDword("Opening", 0);
    SetSettingText("FilePath", "C:\\no\\such\\folder");
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    EXPECT_EQ(g.openingState, 0u);
    Tick(saver, 1);
    EXPECT_EQ(g.openingState, 100u);
    EXPECT_STREQ(g.currentPath, "EM998");
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
    EXPECT_EQ(g.fileCount, 0u);
    EXPECT_STREQ(g.currentPath, "EM998");
    EXPECT_EQ(g.currentKind, 1u);
    RemoveTree(folder);
}
