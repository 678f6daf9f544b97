// A long run of the show through every kind of item, including broken
// ones and a window closed mid-item, must hand back every GDI object.
#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "tests/common/gdi_count_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstdint>
#include <set>
#include <string>

namespace {
void Put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, static_cast<uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

// An 8 x 8 picture of two colours, 1 bit per pixel.
std::string SmallBitmap()
{
    std::string s = "BM";
    Put32(s, 14 + 40 + 8 + 32);
    Put32(s, 0);
    Put32(s, 14 + 40 + 8);
    Put32(s, 40);
    Put32(s, 8);
    Put32(s, 8);
    Put16(s, 1);
    Put16(s, 1);
    for (int i = 0; i < 6; ++i) Put32(s, 0);
    Put32(s, 0x00203040);
    Put32(s, 0x00F0E0D0);
    for (int row = 0; row < 8; ++row) Put32(s, row % 2 ? 0x000000AA : 0x00000055);
    return s;
}

// Wine answers 0 for the platform's own per-process count; the handle
// table tells instead.
long GdiObjects()
{
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return counted != 0 ? static_cast<long>(counted) : GdiCountIsReal() ? CountGdiObjects() : 0;
}

// Every GDI object the saver holds between ticks, as seen in the record.
void Collect(std::set<HGDIOBJ>& seen)
{
    HGDIOBJ held[] = {g.BackgroundBrush, g.SourceSurface.dc, g.SourceSurface.bitmap, g.darkSurface.dc,
                      g.darkSurface.bitmap, g.darkBrush, g.mainFont, g.subFont, g.titleFont, g.creditFont,
                      g.dibPalette};
    for (HGDIOBJ h : held)
        if (h) seen.insert(h);
    for (HBITMAP frame : g.frameBitmaps)
        if (frame) seen.insert(frame);
}

// Ticks one at a time, noting what is held after each.
void TickWatching(HWND saver, int n, std::set<HGDIOBJ>& seen)
{
    for (int i = 0; i < n; ++i) {
        Tick(saver, 1);
        Collect(seen);
    }
}

struct SoakTest : testing::Test {
    std::string folder;
    HWND host = nullptr;
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        folder = MakeTempFolder("soak");
        // A saying with an attribution, one in Shift-JIS with a sub line,
        // a picture, a broken picture, a missing file's stand-in (a folder),
        // a sound and a plug-in that pass in one tick.
        WriteFileBytes(folder + "\\A.TXT", "Patience is bitter,\r\nbut its fruit is sweet.\r\n@>proverb\r\n");
        WriteFileBytes(folder + "\\B.TXT", "\x90\xce\x82\xcc\x8f\xe3\x82\xc9\x82\xe0\x8e\x4f\x94\x4e\r\n@\x82\xb1\x82\xc6\x82\xed\x82\xb4");
        WriteFileBytes(folder + "\\C.BMP", SmallBitmap());
        WriteFileBytes(folder + "\\D.BMP", "BMnot really a picture");
        WriteFileBytes(folder + "\\F.WAV", "RIFF");
        Wide932 sub;
        WideFrom932(&sub, (folder + "\\E.TXT").c_str(), -1);
        CreateDirectoryW(sub.text, nullptr);
        FreeWide932(&sub);
        SetSettingText("FilePath", folder.c_str());
        SetSettingDword("Display", 0);
        SetSettingDword("Opening", 1);
        SetSettingText("Back", "0,255,65280,16711680,");
    }
    void TearDown() override
    {
        if (host) DestroyWindow(host);
        PumpMessages();
        RemoveTree(folder);
        DeleteSettingsKey();
    }
};
}

TEST_F(SoakTest, LongShowAndAnEarlyCloseReleaseWhatTheyHeld)
{
    std::set<HGDIOBJ> seen;
    for (int round = 0; round < 3; ++round) {
        FreshSaverState();
        host = CreateHostWindow(200, 150);
        HWND saver = CreatePreviewSaver(host);
        ASSERT_NE(saver, nullptr);
        // The opening, then every item of the folder twice; the last round
        // is cut short in the middle of the opening's successor item.
        TickWatching(saver, round < 2 ? 62 + 12 * 62 : 62 + 2 * 62 + 31, seen);
        DestroyWindow(host);
        host = nullptr;
        PumpMessages();
    }
    EXPECT_GT(seen.size(), 20u);   // the watch really saw items come and go
    int alive = 0;
    for (HGDIOBJ h : seen)
        if (GetObjectType(h) != 0) ++alive;
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(g.SourceSurface.dc, nullptr);
    EXPECT_EQ(g.BackgroundBrush, nullptr);
    EXPECT_EQ(g.textBuffer, nullptr);
    EXPECT_EQ(g.catalogue.entries, nullptr);
    EXPECT_EQ(g.dibBlock, nullptr);
}

TEST_F(SoakTest, ProcessCountOfGdiObjectsDoesNotGrow)
{
    if (GdiObjects() == 0) GTEST_SKIP() << "this platform does not count GDI objects per process";

    // One round first, so that the platform's own caches (fonts, stock
    // objects, the window's own surface) are filled before counting.
    host = CreateHostWindow(200, 150);
    HWND saver = CreatePreviewSaver(host);
    ASSERT_NE(saver, nullptr);
    Tick(saver, 62 + 6 * 62);
    DestroyWindow(host);
    host = nullptr;
    PumpMessages();
    const long before = GdiObjects();

    for (int round = 0; round < 3; ++round) {
        FreshSaverState();
        host = CreateHostWindow(200, 150);
        saver = CreatePreviewSaver(host);
        ASSERT_NE(saver, nullptr);
        Tick(saver, round < 2 ? 62 + 12 * 62 : 62 + 2 * 62 + 31);
        DestroyWindow(host);
        host = nullptr;
        PumpMessages();
        EXPECT_LE(GdiObjects(), before) << "round " << round;
    }
}
