#include <gtest/gtest.h>

#include "saver/media/media_win.h"
#include "saver/saver_state.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <mmsystem.h>

namespace {
void Put32(std::string* s, uint32_t v) { s->append(reinterpret_cast<const char*>(&v), 4); }

std::string Chunk(const char* id, const std::string& data)
{
    std::string s(id, 4);
    Put32(&s, static_cast<uint32_t>(data.size()));
    return s + data;
}

std::string List(const char* kind, const char* id, const std::string& data)
{
    return Chunk(kind, std::string(id, 4) + data);
}

// An uncompressed 24-bit video of one colour at 10 frames a second.
std::string SolidVideo(int w, int h, int frames, COLORREF colour)
{
    uint32_t size = static_cast<uint32_t>((w * 3 + 3) / 4 * 4 * h);
    std::string avih, strh("vidsDIB ", 8), strf, movi, index;
    for (uint32_t v : {100000u, size * 10, 0u, 0x10u, uint32_t(frames), 0u, 1u, size, uint32_t(w), uint32_t(h),
                       0u, 0u, 0u, 0u})
        Put32(&avih, v);
    for (uint32_t v : {0u, 0u, 0u, 1u, 10u, 0u, uint32_t(frames), size, 0xFFFFFFFFu, 0u, 0u, uint32_t(w | h << 16)})
        Put32(&strh, v);
    for (uint32_t v : {40u, uint32_t(w), uint32_t(h), 1u | 24u << 16, 0u, size, 0u, 0u, 0u, 0u}) Put32(&strf, v);
    std::string pixels(size, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            char* p = &pixels[y * (size / h) + x * 3];
            p[0] = char(GetBValue(colour)), p[1] = char(GetGValue(colour)), p[2] = char(GetRValue(colour));
        }
    for (int i = 0; i < frames; ++i) {
        index += "00db";
        for (uint32_t v : {0x10u, uint32_t(4 + i * (8 + size)), size}) Put32(&index, v);
        movi += Chunk("00db", pixels);
    }
    std::string hdrl = List("LIST", "hdrl", Chunk("avih", avih) + List("LIST", "strl", Chunk("strh", strh) + Chunk("strf", strf)));
    return List("RIFF", "AVI ", hdrl + List("LIST", "movi", movi) + Chunk("idx1", index));
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> found;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) found.push_back(c);
    return found;
}

bool DeviceOpen(uint32_t id)
{
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MODE;
    return mciSendCommandW(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)) == 0;
}

struct MediaVideo : SaverWindowTest {
    std::string folder;
    void Folder(std::initializer_list<std::pair<const char*, std::string>> files, DWORD aviPlay)
    {
        folder = MakeTempFolder("media");
        for (const auto& f : files) WriteFileBytes(folder + "\\" + f.first, f.second);
        SetSettingDword("Opening", 0);
        SetSettingDword("AVIPlay", aviPlay);
        SetSettingText("FilePath", folder.c_str());
    }
    void TearDown() override
    {
        SaverWindowTest::TearDown();
        if (!folder.empty()) RemoveTree(folder);
    }
    // The first video item either plays or the platform has no video device.
    bool Started()
    {
        Tick(saver, 1);
        return g.media.aviSlots[0].inUse == 1;
    }
};
}

TEST_F(MediaVideo, PlaysInACornerWithItsSizeUntilItsEndIsReported)
{
    Folder({{"CLIP.AVI", SolidVideo(48, 36, 6, RGB(255, 0, 0))}}, 2);
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    g.portsFree = 0;   // a chosen COM port is busy: the video item passes unopened
    Tick(saver, 1);
    EXPECT_TRUE(g.itemBusy == 0 && g.media.aviSlots[0].inUse == 0 && Children(saver).empty());
    g.portsFree = 1;
    if (!Started()) GTEST_SKIP() << "this Wine plays no AVI video: " << g.errorText;
    EXPECT_EQ(g.itemBusy, 0u);
    const AviSlot& slot = g.media.aviSlots[0];
    HWND video = static_cast<HWND>(slot.videoWindow);
    ASSERT_EQ(Children(saver), std::vector<HWND>{video});
    wchar_t text[MAX_PATH] = L"";   // under the video: a read-only, centred edit holding the path
    GetWindowTextW(video, text, MAX_PATH);
    EXPECT_EQ(std::wstring(text), std::wstring(folder.begin(), folder.end()) + L"\\CLIP.AVI");
    EXPECT_EQ(GetWindowLongW(video, GWL_STYLE) & ~WS_VISIBLE, WS_CHILD | ES_READONLY | ES_CENTER);
    RECT r;
    GetWindowRect(video, &r);
    MapWindowPoints(nullptr, saver, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, slot.corner & 1 ? 320 - 48 + 1 : 1);
    EXPECT_EQ(r.top, slot.corner & 2 ? 240 - 36 + 1 : 1);
    EXPECT_EQ(r.right - r.left, 48);
    EXPECT_EQ(r.bottom - r.top, 36);
    POINT inside = {24, 18};
    ClientToScreen(video, &inside);
    EXPECT_EQ(WindowFromPoint(inside), saver);   // the mouse over a video still reaches the saver
    COLORREF seen = 0;
    for (int i = 0; i < 40 && seen != RGB(255, 0, 0); ++i) {
        Sleep(10);
        PumpMessages();
        seen = PixelAt(video, 24, 18);
    }
    EXPECT_EQ(seen, RGB(255, 0, 0));
    uint32_t device = slot.deviceId;
    for (int i = 0; i < 300 && slot.inUse; ++i) {
        Sleep(10);
        PumpMessages();
    }
    EXPECT_EQ(slot.inUse, 0u);
    EXPECT_FALSE(IsWindow(video));
    EXPECT_FALSE(DeviceOpen(device));
}

TEST_F(MediaVideo, ThirdVideoPassesAndStopClosesVideosAndSong)
{
    std::string clip = SolidVideo(40, 30, 40, RGB(0, 0, 255));
    // A tune of one long note.
    std::string song("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0d\0\x90\x40\x40\x83\x60\x80\x40\0\0\xff\x2f\0", 35);
    Folder({{"A.AVI", clip}, {"B.AVI", clip}, {"C.AVI", clip}, {"D.MID", song}, {"E.AVI", "not a video\r\n"}}, 2);
    ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
    if (!Started()) GTEST_SKIP() << "this Wine plays no AVI video: " << g.errorText;
    Tick(saver, 2);
    EXPECT_EQ(g.itemBusy, 0u);
    EXPECT_NE(std::strstr(g.currentPath, "C.AVI"), nullptr);
    AviSlot slots[2] = {g.media.aviSlots[0], g.media.aviSlots[1]};
    EXPECT_EQ(slots[1].inUse, 1u);
    EXPECT_NE(slots[0].corner, slots[1].corner);
    EXPECT_EQ(Children(saver).size(), 2u);
    Tick(saver, 1);
    uint32_t tune = g.media.midiDevice;
    std::string songOutcome = g.errorText;

    StopAllMedia();
    for (const AviSlot& s : slots) {
        EXPECT_FALSE(IsWindow(static_cast<HWND>(s.videoWindow)));
        EXPECT_FALSE(DeviceOpen(s.deviceId));
    }
    EXPECT_TRUE(Children(saver).empty());
    EXPECT_FALSE(DeviceOpen(tune));
    EXPECT_EQ(g.media.midiDevice, 0u);

    // A text file named as a video ends its item within the retries and
    // leaves nothing open.
    int ticks = 0;
    do {
        Tick(saver, 1);
        ++ticks;
    } while (g.itemBusy && ticks < 30);
    EXPECT_NE(std::strstr(g.currentPath, "E.AVI"), nullptr);
    EXPECT_EQ(g.itemBusy, 0u);
    EXPECT_LE(ticks, 21);
    EXPECT_EQ(g.media.aviSlots[0].inUse, 0u);
    EXPECT_TRUE(Children(saver).empty());
    Tick(saver, 1);   // A.AVI again, then the window's end stops and closes it
    uint32_t again = g.media.aviSlots[0].deviceId;
    DestroyWindow(host);
    host = nullptr;
    EXPECT_TRUE(again != 0 && !DeviceOpen(again));
    if (tune == 0) GTEST_SKIP() << "this Wine opens no MIDI sequencer (" << songOutcome << "); the song was not checked";
}
