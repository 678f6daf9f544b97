#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/pictures/pictures_win.h"
#include "saver/show/catalogue_win.h"
#include "tests/common/gdi_count_win.h"
#include "tests/wine/wine_test_util.h"

#include <wincodec.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
// "Em004 ルミナフ絵（Bmp）が読込めませんでした"
const char kEm004[] = "Em004 \x83\x8b\x83\x7e\x83\x69\x83\x74\x8a\x47\x81\x69" "Bmp"
                      "\x81\x6a\x82\xaa\x93\xc7\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";
const COLORREF kBackground = RGB(0, 96, 48);
const COLORREF kRed = RGB(220, 20, 30), kGreen = RGB(30, 200, 40), kBlue = RGB(20, 40, 210),
               kYellow = RGB(240, 220, 20);

// An animated GIF of two 6 x 4 frames, red then blue.
const unsigned char kTwoFrameGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x06, 0x00, 0x04, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53,
    0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00,
    0x06, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0xa9, 0x57, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00,
    0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0xa9, 0x57, 0x00, 0x3b};

template <typename T>
void Drop(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

// A photo file made by the imaging component's own encoder. colour(x, y)
// gives a COLORREF; alpha(x, y) the opacity (PNG only).
std::string Encode(const GUID& container, UINT w, UINT h, const std::function<COLORREF(int, int)>& colour,
                   const std::function<BYTE(int, int)>& alpha = nullptr)
{
    std::string file;
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(w, h)) && SUCCEEDED(frame->SetPixelFormat(&format))) {
        // The encoder may ask for 24-bit rows instead (JPEG has no alpha).
        bool four = IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) != 0;
        UINT bytes = four ? 4 : 3;
        UINT stride = (w * bytes + 3) / 4 * 4;
        std::vector<BYTE> pixels(size_t(stride) * h);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) {
                COLORREF c = colour(x, y);
                BYTE* p = &pixels[y * stride + x * bytes];
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
                if (four) p[3] = alpha ? alpha(x, y) : 255;
            }
        STATSTG stat = {};
        HGLOBAL memory = nullptr;
        if ((four || IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) &&
            SUCCEEDED(frame->WritePixels(h, stride, static_cast<UINT>(pixels.size()), pixels.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
            SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
            const char* data = static_cast<const char*>(GlobalLock(memory));
            if (data) file.assign(data, static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    Drop(options);
    Drop(frame);
    Drop(encoder);
    Drop(stream);
    Drop(factory);
    return file;
}

// The camera's tag put in front of the encoded JPEG, as cameras write it.
std::string WithOrientation(const std::string& jpeg, uint16_t orientation)
{
    std::string tiff("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0", 26);
    tiff[19] = static_cast<char>(orientation);
    std::string body = std::string("Exif\0\0", 6) + tiff;
    std::string app1 = std::string("\xFF\xE1", 2) + char((body.size() + 2) >> 8) + char(body.size() + 2) + body;
    return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

uint32_t Crc(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// A well-formed PNG signature and header for a picture of w x h, and nothing else.
std::string PngHeaderOnly(uint32_t w, uint32_t h)
{
    std::string chunk = "IHDR" + Be32(w) + Be32(h) + std::string("\x08\x06\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + chunk + Be32(Crc(chunk));
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

struct PhotoTest : SaverWindowTest {
    std::string folder;

    void SetUp() override
    {
        SaverWindowTest::SetUp();
        SetSettingDword("Opening", 0);
        folder = MakeTempFolder("photo");
        ASSERT_NO_FATAL_FAILURE(OpenSaver(320, 240));
        if (g.BackgroundBrush) DeleteObject(g.BackgroundBrush);
        g.BackgroundBrush = CreateSolidBrush(kBackground);
        ASSERT_TRUE(StartPhotoDecoding());   // the test's encoder needs COM too
    }
    void TearDown() override
    {
        if (g.ScreenSurface && saver) ReleaseDC(saver, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        if (host) DestroyWindow(host);
        host = nullptr;
        PumpMessages();
        EXPECT_EQ(g.photoCom, 0u);
        SaverWindowTest::TearDown();
        RemoveTree(folder);
    }
    void Choose(const char* name, const std::string& bytes)
    {
        std::string path = folder + "\\" + name;
        WriteFileBytes(path, bytes);
        Widen932(path, g.currentPath);
        g.currentKind = 2;
        g.itemBusy = 1;
        g.bitmapTicks = 0;
    }
    int Compose()
    {
        g.ScreenSurface = GetDC(saver);
        int drawn;
        while ((drawn = ComposeBitmapPicture()) == kPhotoNotYet) Sleep(5);   // the worker is at it
        ReleaseDC(saver, g.ScreenSurface);
        g.ScreenSurface = nullptr;
        return drawn;
    }
    COLORREF Source(int x, int y) const { return GetPixel(g.SourceSurface.dc, x, y); }
};
}

TEST_F(PhotoTest, PhotosAreDrawnCentredInTheirColoursAndFittedUpright)
{
    // Quadrants red | green over blue | yellow, upright as the viewer sees them.
    auto quadrants = [](int w, int h) {
        return [w, h](int x, int y) { return y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kYellow); };
    };
    // A portrait as a phone held upright stores it: turned a quarter to the
    // left, so that column x of the stored rows is row x of the upright
    // picture and stored row 0 is its right-hand edge.
    // Its areas meet on the 16-pixel blocks of the stored JPEG, where the
    // compression keeps flat colours flat.
    const int portraitW = 64, portraitH = 96;
    auto sideways = [&](int x, int y) { return quadrants(portraitW, portraitH)(portraitW - 1 - y, x); };
    auto transposed = [&](int x, int y) { return quadrants(portraitW, portraitH)(y, x); };   // orientation 5
    auto upsideDown = [&](int x, int y) { return quadrants(64, 48)(63 - x, 47 - y); };        // orientation 3
    // A frame 100 pixels wide around a blue field: after the fit, 20 pixels.
    auto framed = [](int x, int y) { return x < 100 || y < 100 || x >= 1500 || y >= 700 ? kRed : kBlue; };
    const struct {
        int line;
        const char* name;
        std::string file;
        int x, y, w, h;     // where the picture lands
        int tolerance;      // JPEG is lossy; its flat areas come back near their colours
        std::function<COLORREF(int, int)> shown;   // upright, in the landed picture's own pixels
    } cases[] = {
        {__LINE__, "QUAD.PNG", Encode(GUID_ContainerFormatPng, 40, 30, quadrants(40, 30)), 140, 105, 40, 30, 0,
         quadrants(40, 30)},
        {__LINE__, "QUAD.jpeg", Encode(GUID_ContainerFormatJpeg, 64, 48, quadrants(64, 48)), 128, 96, 64, 48, 12,
         quadrants(64, 48)},
        {__LINE__, "TURN.JPG",
         WithOrientation(Encode(GUID_ContainerFormatJpeg, portraitH, portraitW, sideways), 6), 128, 72, 64, 96, 12,
         quadrants(portraitW, portraitH)},
        {__LINE__, "MIRROR.JPG",
         WithOrientation(Encode(GUID_ContainerFormatJpeg, portraitH, portraitW, transposed), 5), 128, 72, 64, 96, 12,
         quadrants(portraitW, portraitH)},
        {__LINE__, "UPSIDE.JPG", WithOrientation(Encode(GUID_ContainerFormatJpeg, 64, 48, upsideDown), 3), 128, 96, 64,
         48, 12, quadrants(64, 48)},
        {__LINE__, "WIDE.png", Encode(GUID_ContainerFormatPng, 1600, 800, framed), 0, 40, 320, 160, 12,
         [](int x, int y) { return x < 20 || y < 20 || x >= 300 || y >= 140 ? kRed : kBlue; }},
        {__LINE__, "GLASS.PNG",
         Encode(GUID_ContainerFormatPng, 20, 20, [](int, int) { return kRed; },
                [](int x, int) -> BYTE { return x < 10 ? 0 : 255; }),
         150, 110, 20, 20, 0, [](int x, int) { return x < 10 ? kBackground : kRed; }},
        {__LINE__, "ANIM.GIF", std::string(reinterpret_cast<const char*>(kTwoFrameGif), sizeof kTwoFrameGif), 157,
         118, 6, 4, 0, [](int, int) { return RGB(255, 0, 0); }},
    };
    const bool counting = GdiCountIsReal();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ReleaseMemorySurface(&g.spareSurface);
        long held = counting ? CountGdiObjects() : 0;
        ASSERT_FALSE(c.file.empty()) << "the imaging component could not encode the test picture";
        Choose(c.name, c.file);
        // Every other photo comes decoded ahead by the worker; either way
        // the same picture lands.
        if (c.line % 2) DecodePhotoAhead(g.currentPath);
        ASSERT_EQ(Compose(), 1);
        EXPECT_EQ(g.dibX, c.x);
        EXPECT_EQ(g.dibY, c.y);
        EXPECT_EQ(g.dibW, c.w);
        EXPECT_EQ(g.dibH, c.h);
        // Each quarter's middle and the picture's outermost pixels, away
        // from the borders where a filter may blend two areas.
        const POINT probes[] = {{c.w / 4, c.h / 4}, {3 * c.w / 4, c.h / 4}, {c.w / 4, 3 * c.h / 4},
                                {3 * c.w / 4, 3 * c.h / 4}, {0, c.h / 4}, {c.w - 1, 3 * c.h / 4},
                                {c.w / 4, 0}, {3 * c.w / 4, c.h - 1}};
        for (POINT p : probes)
            EXPECT_PRED3(Near, Source(c.x + p.x, c.y + p.y), c.shown(p.x, p.y), c.tolerance)
                << "at " << p.x << "," << p.y;
        // The background right around the picture.
        if (c.x > 0) EXPECT_EQ(Source(c.x - 1, c.y + c.h / 2), kBackground);
        if (c.x + c.w < 320) EXPECT_EQ(Source(c.x + c.w, c.y + c.h / 2), kBackground);
        EXPECT_EQ(Source(c.x + c.w / 2, c.y - 1), kBackground);
        EXPECT_EQ(Source(c.x + c.w / 2, c.y + c.h), kBackground);
        ReleaseBitmapItem();
        EXPECT_EQ(g.SourceSurface.dc, nullptr);
        EXPECT_NE(g.spareSurface.bitmap, nullptr) << "the picture is kept for the next item";
        ReleaseMemorySurface(&g.spareSurface);
        if (counting) EXPECT_EQ(CountGdiObjects(), held) << "the section and its surfaces are all let go";
    }
}

TEST_F(PhotoTest, BrokenAndAbsurdPhotosShowEm004)
{
    std::string jpeg = Encode(GUID_ContainerFormatJpeg, 64, 48, [](int x, int) { return RGB(x * 4, 50, 90); });
    std::string png = Encode(GUID_ContainerFormatPng, 64, 48, [](int x, int) { return RGB(x * 4, 50, 90); });
    ASSERT_FALSE(jpeg.empty());
    ASSERT_FALSE(png.empty());
    const struct {
        int line;
        const char* name;
        std::string bytes;
    } cases[] = {
        {__LINE__, "CUT.JPG", jpeg.substr(0, jpeg.size() / 3)},
        {__LINE__, "CUT.PNG", png.substr(0, png.size() / 2)},
        {__LINE__, "TEXT.JPG", "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD this is a words file\r\n"},
        {__LINE__, "HUGE.PNG", PngHeaderOnly(30000, 30000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Choose(c.name, c.bytes);
        long held = GdiCountIsReal() ? CountGdiObjects() : 0;
        if (c.line % 2) DecodePhotoAhead(g.currentPath);   // the worker's failure shows the same
        ShowBitmapTick(saver);
        // Until the worker is done, the item's first tick only comes again.
        for (int tick = 0; g.itemBusy && g.bitmapTicks == 0 && tick < 1000; ++tick) {
            EXPECT_EQ(g.SourceSurface.dc, nullptr);
            Sleep(5);
            ShowBitmapTick(saver);
        }
        EXPECT_STREQ(g.errorText, kEm004);
        if (GdiCountIsReal()) EXPECT_EQ(CountGdiObjects(), held);
        EXPECT_EQ(g.SourceSurface.dc, nullptr);
        EXPECT_EQ(g.SourceSurface.bitmap, nullptr);
        EXPECT_EQ(g.ScreenSurface, nullptr);
        EXPECT_EQ(g.itemBusy, 0u);
        EXPECT_EQ(g.bitmapTicks, 0u);
    }
    // A photo the worker is still at when its bound passes (here a large
    // one, its bound moved closer) shows Em004; the decode that ends late
    // is freed, and the next photo has a worker of its own.
    const long hung = GdiCountIsReal() ? CountGdiObjects() : 0;
    Choose("SLOW.PNG", Encode(GUID_ContainerFormatPng, 4000, 3000, [](int x, int y) { return RGB(x, y, x ^ y); }));
    for (int tick = 0; tick < 3; ++tick) ShowBitmapTick(saver);
    EXPECT_EQ(g.photoWaiting, 1u);
    g.photoWaitStart -= 14900;
    ShowBitmapTick(saver);
    EXPECT_EQ(g.itemBusy, 1u) << "short of the bound";
    g.photoWaitStart -= 200;
    ShowBitmapTick(saver);
    EXPECT_STREQ(g.errorText, kEm004);
    EXPECT_EQ(g.itemBusy, 0u);
    EXPECT_EQ(g.photoWaiting, 0u);
    Choose("NEXT.JPG", jpeg);
    EXPECT_EQ(Compose(), 1);
    ReleaseBitmapItem();
    ReleaseMemorySurface(&g.spareSurface);
    for (int waited = 0; GdiCountIsReal() && CountGdiObjects() != hung && waited < 5000; waited += 50) Sleep(50);
    if (GdiCountIsReal()) EXPECT_EQ(CountGdiObjects(), hung);

    // The saver may end while the worker decodes: the end does not wait for
    // it, and the worker lets go of everything once it is done.
    const long before = GdiCountIsReal() ? CountGdiObjects() : 0;
    Choose("LAST.JPG", jpeg);
    DecodePhotoAhead(g.currentPath);
    StopPhotoDecoding();
    for (int waited = 0; GdiCountIsReal() && CountGdiObjects() != before && waited < 5000; waited += 50) Sleep(50);
    if (GdiCountIsReal()) EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(g.photoCom, 0u);
}

TEST_F(PhotoTest, FolderNamedOutsideShiftJisShowsItsSayingAndItsLongNamedPhoto)
{
    // "Photos – 2024 Zoë" has no Shift-JIS form; the photo is named as a
    // phone names it, longer than any 8.3 name.
    wchar_t* words = g.settings.FilePath;
    Widen932(folder, g.settings.FilePath);
    lstrcatW(words, L"\\Photos \x2013 2024 Zo\xEB");
    const std::wstring saying = words + std::wstring(L"\\A.TXT"), photo = words + std::wstring(L"\\PXL_20241224_183015123.png");
    ASSERT_TRUE(CreateDirectoryW(words, nullptr));
    for (const auto& file : {std::make_pair(saying, std::string("Wm")),
                             std::make_pair(photo, Encode(GUID_ContainerFormatPng, 40, 30, [](int, int) { return kGreen; }))}) {
        HANDLE h = CreateFileW(file.first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, file.second.data(), static_cast<DWORD>(file.second.size()), &written, nullptr);
        CloseHandle(h);
    }
    g.settings.Display = 1;
    BuildCatalogue(saver);
    ASSERT_EQ(g.catalogue.count, 2u);
    for (const std::wstring& shown : {saying, photo}) {
        Tick(saver, 1);
        // The photo was asked for ahead while the saying stood; until the
        // worker is done its first tick leaves the screen alone.
        for (int waited = 0; shown == photo && g.bitmapTicks == 0 && g.itemBusy && waited < 5000; waited += 20) {
            Sleep(20);
            Tick(saver, 1);
        }
        EXPECT_EQ(std::wstring(g.currentPath), shown);
        EXPECT_STREQ(g.errorText, "");   // read and drawn
        if (shown == photo) EXPECT_EQ(Source(160, 120), kGreen);
        for (int tick = 0; g.itemBusy && tick < 400; ++tick) Tick(saver, 1);
    }
    DeleteFileW(saying.c_str());
    DeleteFileW(photo.c_str());
    RemoveDirectoryW(words);
}
