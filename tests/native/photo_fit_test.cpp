#include <gtest/gtest.h>

#include "saver/pictures/photo_fit.h"

#include <cstdint>
#include <string>
#include <vector>

TEST(PhotoFit, LargePhotosShrinkToFitWholeAndSmallOnesKeepTheirSize)
{
    const struct {
        int line;
        uint32_t w, h, screenW, screenH;
        uint32_t fitW, fitH;
    } rows[] = {
        {__LINE__, 4000, 3000, 1920, 1080, 1440, 1080},   // a phone photo on a wide screen
        {__LINE__, 3000, 2000, 1920, 1080, 1620, 1080},
        {__LINE__, 641, 10, 640, 480, 640, 10},           // 9.98 rounds to 10
        {__LINE__, 1000, 999, 640, 480, 480, 480},        // 480.48 on the width: the height limits
        {__LINE__, 640, 480, 640, 480, 640, 480},
        {__LINE__, 100000, 1, 1920, 1080, 1920, 1},       // never 0
        {__LINE__, 0xFFFFFFFFu, 0xFFFFFFFFu, 1920, 1080, 1080, 1080},
        {__LINE__, 0, 10, 640, 480, 0, 0},
    };
    for (const auto& r : rows) {
        PhotoSize fit = FitPhoto(r.w, r.h, r.screenW, r.screenH);
        EXPECT_EQ(fit.width, r.fitW) << "row at line " << r.line;
        EXPECT_EQ(fit.height, r.fitH) << "row at line " << r.line;
    }
}

TEST(PhotoFit, SizesBeyondWhatCanBeAllocatedAreRefused)
{
    const uint64_t kGiB = uint64_t(1) << 30;
    const struct {
        int line;
        uint32_t w, h;
        uint64_t available;
        bool accepted;
    } rows[] = {
        {__LINE__, 4000, 3000, 47999999, false},          // 48 000 000 bytes needed
        {__LINE__, 4000, 3000, 48000000, true},
        {__LINE__, 30000, 30000, UINT64_MAX, false},       // 3.6 GB of pixels
        {__LINE__, 16384, 16384, UINT64_MAX, true},        // exactly the ceiling
        {__LINE__, 16384, 16385, UINT64_MAX, false},
        {__LINE__, 0xFFFFFFFFu, 0xFFFFFFFFu, UINT64_MAX, false},   // would wrap if multiplied out in bytes
        {__LINE__, 0, 100, kGiB, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PhotoSizeAcceptable(r.w, r.h, r.available), r.accepted) << "row at line " << r.line;
}

// Each orientation as cameras define it: where row 0 and column 0 of the
// stored picture lie when it is viewed upright. A stored picture is made
// from an upright one by that rule; turning it must give the upright one.
TEST(PhotoFit, EveryOrientationTurnsTheStoredPictureUpright)
{
    enum Side { Top, Bottom, Left, Right };
    const struct {
        int line;
        uint16_t orientation;
        Side row0, column0;
    } rows[] = {
        {__LINE__, 1, Top, Left},    {__LINE__, 2, Top, Right},   {__LINE__, 3, Bottom, Right},
        {__LINE__, 4, Bottom, Left}, {__LINE__, 5, Left, Top},    {__LINE__, 6, Right, Top},
        {__LINE__, 7, Right, Bottom}, {__LINE__, 8, Left, Bottom},
        {__LINE__, 0, Top, Left},    {__LINE__, 9, Top, Left},    {__LINE__, 0xFFFF, Top, Left},
    };
    const uint32_t uprightW = 4, uprightH = 3;
    std::vector<uint32_t> upright(uprightW * uprightH);
    for (uint32_t i = 0; i < upright.size(); ++i) upright[i] = 0xFF000000u | (i * 0x10101u + 7);
    for (const auto& r : rows) {
        bool sideways = r.row0 == Left || r.row0 == Right;
        uint32_t storedW = sideways ? uprightH : uprightW;
        uint32_t storedH = sideways ? uprightW : uprightH;
        std::vector<uint32_t> stored(upright.size());
        for (uint32_t y = 0; y < storedH; ++y) {
            for (uint32_t x = 0; x < storedW; ++x) {
                uint32_t u, v;
                if (!sideways) {
                    v = r.row0 == Top ? y : uprightH - 1 - y;
                    u = r.column0 == Left ? x : uprightW - 1 - x;
                } else {
                    u = r.row0 == Left ? y : uprightW - 1 - y;
                    v = r.column0 == Top ? x : uprightH - 1 - x;
                }
                stored[y * storedW + x] = upright[v * uprightW + u];
            }
        }
        PhotoTurn turn = TurnForOrientation(r.orientation);
        PhotoSize turned = TurnedSize({storedW, storedH}, turn);
        EXPECT_EQ(turned.width, uprightW) << "row at line " << r.line;
        EXPECT_EQ(turned.height, uprightH) << "row at line " << r.line;
        std::vector<uint32_t> shown(upright.size(), 0);
        TurnPixels(stored.data(), storedW, storedH, turn, shown.data());
        EXPECT_EQ(shown, upright) << "row at line " << r.line;
    }
}

namespace {
std::string Be16(uint16_t v) { return {char(v >> 8), char(v)}; }
std::string Le16(uint16_t v) { return {char(v), char(v >> 8)}; }
std::string Be32(uint32_t v) { return Be16(uint16_t(v >> 16)) + Be16(uint16_t(v)); }
std::string Le32(uint32_t v) { return Le16(uint16_t(v)) + Le16(uint16_t(v >> 16)); }

struct Tag {
    uint16_t id, type;
    uint32_t count;
    uint16_t value;
};

std::string Segment(uint8_t marker, const std::string& body)
{
    return std::string("\xFF", 1) + char(marker) + Be16(uint16_t(body.size() + 2)) + body;
}

std::string Exif(bool bigEndian, const std::vector<Tag>& tags, uint32_t directory = 8)
{
    auto w16 = bigEndian ? Be16 : Le16;
    auto w32 = bigEndian ? Be32 : Le32;
    std::string tiff = std::string(bigEndian ? "MM" : "II") + w16(42) + w32(directory);
    tiff += w16(uint16_t(tags.size()));
    for (const Tag& t : tags) tiff += w16(t.id) + w16(t.type) + w32(t.count) + w16(t.value) + w16(0);
    tiff += w32(0);
    return Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
}

const std::string kSoi("\xFF\xD8", 2);
const std::string kSos("\xFF\xDA\x00\x02", 4);
}

TEST(PhotoFit, OnlyAFullAlphaIsOpaque)
{
    const uint32_t pixels[] = {0xFF000000u, 0xFFFFFFFFu, 0xFE123456u, 0x00FFFFFFu};
    EXPECT_TRUE(AllOpaque(pixels, 2));
    EXPECT_FALSE(AllOpaque(pixels, 3));
    EXPECT_FALSE(AllOpaque(pixels + 3, 1));
    EXPECT_TRUE(AllOpaque(pixels, 0));
}

TEST(PhotoFit, JpegOrientationIsReadFromTheExifSegmentOnly)
{
    const std::string app0 = Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    const std::string app1Xmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>");
    const std::string six = Exif(true, {{274, 3, 1, 6}});
    const struct {
        int line;
        std::string file;
        uint16_t orientation;
    } rows[] = {
        {__LINE__, kSoi + six + kSos, 6},
        {__LINE__, kSoi + Exif(false, {{274, 3, 1, 8}}) + kSos, 8},
        {__LINE__, kSoi + app0 + app1Xmp + Exif(false, {{271, 2, 4, 0}, {274, 3, 1, 5}}) + kSos, 5},
        {__LINE__, kSoi + std::string("\xFF\xFF", 2) + six, 6},               // fill byte before the marker
        {__LINE__, kSoi + app0 + kSos + six, 1},                              // after the image data began
        {__LINE__, kSoi + Exif(true, {{274, 3, 1, 9}}), 1},                   // out of range
        {__LINE__, kSoi + Exif(true, {{274, 4, 1, 6}}), 1},                   // a LONG, not a SHORT
        {__LINE__, kSoi + Exif(true, {{274, 3, 1, 6}}, 4000), 1},            // directory beyond the segment
        {__LINE__, kSoi + six.substr(0, six.size() - 10), 1},                 // cut inside the entry
        {__LINE__, kSoi + app0, 1},
        {__LINE__, std::string("\x89PNG\r\n\x1A\n", 8) + six, 1},
    };
    for (const auto& r : rows) {
        std::vector<uint8_t> bytes(r.file.begin(), r.file.end());   // exactly the file: no slack to read into
        EXPECT_EQ(ReadJpegOrientation(bytes.data(), bytes.size()), r.orientation) << "row at line " << r.line;
    }
}
