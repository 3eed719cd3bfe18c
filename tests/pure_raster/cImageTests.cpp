// cImage: scan-line sizes and overflow, supported depths, grey tables, the
// copies into the image, and the derived images pixel by pixel.
#include <gtest/gtest.h>

#include <functional>

#include "RasterTestSupport.h"
#include "imaging/cImage.h"

using namespace gdi;
using rastertest::Handles;
using rastertest::Surface;

namespace {

// Colour of a 24-bit pixel of an image (rows bottom-up in memory).
std::uint32_t PixelOf(const cImage& img, int x, int y) {
    const auto* p = static_cast<const std::uint8_t*>(img.DIBitsPtr()) +
                    static_cast<std::ptrdiff_t>(img.Height() - 1 - y) * img.BytesPerScanLine() + x * 3;
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

int IndexOf(const cImage& img, int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(img.DIBitsPtr()) +
                      static_cast<std::ptrdiff_t>(img.Height() - 1 - y) * img.BytesPerScanLine();
    return row[x];
}

// A 3 x 2 image with a distinct colour everywhere (no symmetry).
std::unique_ptr<cImage> Asymmetric(int w = 3, int h = 2) {
    Surface src(w, h, 24);
    src.Fill();
    auto img = std::make_unique<cImage>();
    EXPECT_TRUE(img->CopyHDC(Handles(), src.hdc(), w, h, 24, 0, 0));
    return img;
}

// A picture object holding a DIB section of the given depth.
StdPicture MakePicture(int w, int h, int bpp, const std::vector<RGBQUAD>& table,
                       const std::function<void(std::uint8_t* row, int y)>& fill) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, w, h, 1, static_cast<WORD>(bpp), 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < table.size(); ++i) bmi.bmiColors[i] = table[i];
    void* bits = nullptr;
    StdPicture pic;
    pic.Reset(CreateDIBSection(pic.Handles(), 0, &bmi, DIB_RGB_COLORS, &bits, 0, 0));
    const int stride = ((w * bpp + 31) / 32) * 4;
    for (int y = 0; y < h; ++y) fill(static_cast<std::uint8_t*>(bits) + (h - 1 - y) * stride, y);
    return pic;
}

}  // namespace

TEST(cImageCreate, ScanLineSizesPerDepth) {
    cImage img;
    const std::tuple<int, int, int, int> cases[] = {{10, 5, 24, 32}, {10, 5, 1, 4}, {9, 1, 4, 8},
                                                    {5, 1, 8, 8},    {1, 1, 24, 4}, {33, 1, 1, 8},
                                                    {8, 1, 4, 4}};
    for (const auto& [w, h, bpp, bytes] : cases) {
        ASSERT_TRUE(img.Create(w, h, static_cast<std::int16_t>(bpp))) << w << " " << bpp;
        EXPECT_EQ(img.BytesPerScanLine(), bytes) << w << " " << bpp;
        EXPECT_EQ(img.Width(), w);
        EXPECT_EQ(img.Height(), h);
        EXPECT_EQ(img.BitCount(), bpp);
        EXPECT_NE(img.hDC(), 0u);
    }
}

TEST(cImageCreate, SizesThatOverflowRaiseErrorSixAndLeaveTheImageEmpty) {
    cImage img;
    const std::tuple<int, int, int> cases[] = {
        {800000000, 1, 24}, {2147483647, 1, 8}, {100000, 100000, 24}, {-2147483647 - 1, 1, 1}};
    for (const auto& [w, h, bpp] : cases) {
        try {
            img.Create(w, h, static_cast<std::int16_t>(bpp));
            ADD_FAILURE() << "no error for " << w << " x " << h;
        } catch (const cImageError& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Description(), "Overflow");
        }
        EXPECT_EQ(img.hDC(), 0u);
        EXPECT_EQ(img.Width(), 0);
    }
    EXPECT_EQ(img.Handles().LiveHandleCount(), 0u);
}

TEST(cImageCreate, UnsupportedDepthsFailAndLeaveTheImageEmpty) {
    cImage img;
    ASSERT_TRUE(img.Create(4, 4, 24));
    for (const std::int16_t bpp : {16, 32, 0, 2}) {
        EXPECT_FALSE(img.Create(4, 4, bpp));
        EXPECT_EQ(img.hDC(), 0u);
        EXPECT_EQ(img.DIBitsPtr(), nullptr);
        EXPECT_EQ(img.Width(), 0);
    }
    EXPECT_FALSE(img.Create(0, 4, 24));  // no bitmap can be made
    EXPECT_EQ(img.hDC(), 0u);
}

TEST(cImageCreate, PaletteDepthsGetTheGreyRampAndStartBlack) {
    for (const std::int16_t bpp : {1, 4, 8}) {
        cImage img;
        ASSERT_TRUE(img.Create(3, 2, bpp));
        RGBQUAD t[256]{};
        const int levels = 1 << bpp;
        ASSERT_EQ(GetDIBColorTable(img.Handles(), img.hDC(), 0, 256, t), static_cast<UINT>(levels));
        for (int i = 0; i < levels; ++i) {
            const int g = i * 255 / (levels - 1);
            EXPECT_EQ(t[i].rgbRed, g);
            EXPECT_EQ(t[i].rgbGreen, g);
            EXPECT_EQ(t[i].rgbBlue, g);
            EXPECT_EQ(t[i].rgbReserved, 0);
        }
        const auto* bytes = static_cast<const std::uint8_t*>(img.DIBitsPtr());
        for (int i = 0; i < img.BytesPerScanLine() * 2; ++i) ASSERT_EQ(bytes[i], 0);
    }
}

TEST(cImageCreate, RowsLieBottomUpInMemory) {
    Surface src(2, 3, 24);
    src.Fill();
    cImage img;
    ASSERT_TRUE(img.CopyHDC(Handles(), src.hdc(), 2, 3, 24, 0, 0));
    const auto* first = static_cast<const std::uint8_t*>(img.DIBitsPtr());
    EXPECT_EQ(static_cast<std::uint32_t>(first[0] | (first[1] << 8) | (first[2] << 16)),
              Surface::Pattern(0, 2));
}

TEST(cImageCopyStdPicture, SixteenBitPicturesBecomeTwentyFourBits) {
    StdPicture pic = MakePicture(2, 2, 16, {}, [](std::uint8_t* row, int y) {
        const std::uint16_t v[2] = {static_cast<std::uint16_t>(y == 0 ? 0x7C00 : 0x001F),
                                    0x03E0};  // red/blue, green
        std::memcpy(row, v, 4);
    });
    cImage img;
    std::int16_t bpp = 0;
    ASSERT_TRUE(img.CopyStdPicture(pic, bpp));
    EXPECT_EQ(bpp, 24);
    EXPECT_EQ(img.BitCount(), 24);
    EXPECT_EQ(PixelOf(img, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelOf(img, 0, 1), 0x0000FFu);
    EXPECT_EQ(PixelOf(img, 1, 1), 0x00FF00u);
}

TEST(cImageCopyStdPicture, ThirtyTwoBitPicturesAreRefusedUnlessADepthIsGiven) {
    StdPicture pic = MakePicture(2, 1, 32, {}, [](std::uint8_t* row, int) {
        const std::uint32_t v[2] = {0x123456, 0xABCDEF};
        std::memcpy(row, v, 8);
    });
    cImage img;
    std::int16_t bpp = 0;
    EXPECT_FALSE(img.CopyStdPicture(pic, bpp));
    EXPECT_EQ(bpp, 32);
    EXPECT_EQ(img.hDC(), 0u);
    // Asking for 24 bits converts it.
    bpp = 24;
    ASSERT_TRUE(img.CopyStdPicture(pic, bpp));
    EXPECT_EQ(PixelOf(img, 1, 0), 0xABCDEFu);
}

TEST(cImageCopyStdPicture, PalettePicturesKeepIndicesAndColourTable) {
    const std::vector<RGBQUAD> table = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};
    StdPicture pic = MakePicture(3, 2, 8, table, [](std::uint8_t* row, int y) {
        for (int x = 0; x < 3; ++x) row[x] = static_cast<std::uint8_t>((x + y) % 3);
    });
    cImage img;
    std::int16_t bpp = 0;
    ASSERT_TRUE(img.CopyStdPicture(pic, bpp));
    EXPECT_EQ(bpp, 8);
    RGBQUAD t[256]{};
    ASSERT_GE(GetDIBColorTable(img.Handles(), img.hDC(), 0, 256, t), 3u);
    EXPECT_EQ(t[0].rgbRed, 255);
    EXPECT_EQ(t[2].rgbBlue, 255);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(IndexOf(img, x, y), (x + y) % 3);
    // The picture is free again afterwards: it can be selected elsewhere.
    UniqueDC dc(pic.Handles(), CreateCompatibleDC(pic.Handles(), 0));
    const SelectionGuard sel(pic.Handles(), dc.get(), pic.Handle());
    EXPECT_TRUE(sel.ok());
}

TEST(cImageCopyStdPicture, GreyTargetOfAColourPictureMatchesColours) {
    StdPicture pic = MakePicture(2, 1, 24, {}, [](std::uint8_t* row, int) {
        const std::uint8_t v[6] = {30, 60, 90, 255, 255, 255};
        std::memcpy(row, v, 6);
    });
    cImage img;
    std::int16_t bpp = 8;
    ASSERT_TRUE(img.CopyStdPicture(pic, bpp));
    EXPECT_EQ(IndexOf(img, 0, 0), 60);
    EXPECT_EQ(IndexOf(img, 1, 0), 255);
    StdPicture none;
    bpp = 0;
    EXPECT_FALSE(img.CopyStdPicture(none, bpp));
}

TEST(cImageCopyHDC, DepthFollowsTheSourceColourTable) {
    const std::tuple<int, int, int> cases[] = {{24, 0, 24}, {1, 2, 1},  {4, 16, 4}, {4, 3, 4},
                                               {8, 256, 8}, {8, 17, 8}, {8, 16, 4}, {8, 2, 1}};
    for (const auto& [srcBpp, entries, expected] : cases) {
        std::vector<RGBQUAD> table;
        if (entries > 0) table = rastertest::GreyTable(entries);
        Surface src(4, 4, srcBpp, table);
        cImage img;
        ASSERT_TRUE(img.CopyHDC(Handles(), src.hdc(), 4, 4, 0, 0, 0));
        EXPECT_EQ(img.BitCount(), expected) << srcBpp << "/" << entries;
    }
    // Without a colour table (a 24-bit DIB, or a screen DC), 24 bits.
    cImage img;
    UniqueDC screen(Handles(), CreateDCA(Handles(), "DISPLAY", nullptr, nullptr, nullptr));
    ASSERT_TRUE(img.CopyHDC(Handles(), screen.get(), 2, 2, 0, 0, 0));
    EXPECT_EQ(img.BitCount(), 24);
}

TEST(cImageCopyHDC, CopiesTheRegionAtTheSourceOffset) {
    Surface src(6, 5, 32);
    src.Fill();
    cImage img;
    ASSERT_TRUE(img.CopyHDC(Handles(), src.hdc(), 3, 2, 24, 2, 1));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(img, x, y), Surface::Pattern(x + 2, y + 1));
}

TEST(cImagePalette, CopyPalletHDCTakesOverATable) {
    const std::vector<RGBQUAD> table = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    Surface src(2, 2, 1, table);
    cImage img;
    ASSERT_TRUE(img.Create(2, 2, 1));
    EXPECT_TRUE(img.CopyPalletHDC(Handles(), src.hdc()));
    RGBQUAD t[2]{};
    GetDIBColorTable(img.Handles(), img.hDC(), 0, 2, t);
    EXPECT_EQ(t[1].rgbRed, 6);
    Surface rgb(2, 2, 24);
    EXPECT_FALSE(img.CopyPalletHDC(Handles(), rgb.hdc()));  // nothing to copy
    cImage wide;
    ASSERT_TRUE(wide.Create(2, 2, 24));
    Surface grey(2, 2, 8, rastertest::GreyTable(256));
    EXPECT_FALSE(wide.CopyPalletHDC(Handles(), grey.hdc()));  // a 24-bit image has no table to receive it
}

TEST(cImagePaint, PaintsWithTheRasterOperation) {
    auto img = Asymmetric();
    Surface dst(5, 4, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) dst.Set(x, y, 0xFFFFFF);
    img->PaintHDC(Handles(), dst.hdc(), 1, 2, SRCCOPY);
    EXPECT_EQ(dst.Get(1, 2), Surface::Pattern(0, 0));
    EXPECT_EQ(dst.Get(3, 3), Surface::Pattern(2, 1));
    EXPECT_EQ(dst.Get(0, 0), 0xFFFFFFu);
    img->PaintHDC(Handles(), dst.hdc(), 1, 2, SRCINVERT);
    EXPECT_EQ(dst.Get(3, 3), 0u);
}

TEST(cImageDerived, GreyscaleIsEightBitsWithTheGreyRamp) {
    auto img = Asymmetric();
    const auto grey = img->Greyscale();
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->BitCount(), 8);
    RGBQUAD t[256]{};
    ASSERT_EQ(GetDIBColorTable(grey->Handles(), grey->hDC(), 0, 256, t), 256u);
    for (int i = 0; i < 256; ++i) ASSERT_TRUE(t[i].rgbRed == i && t[i].rgbGreen == i && t[i].rgbBlue == i);
    const std::uint32_t c = Surface::Pattern(2, 1);
    EXPECT_EQ(IndexOf(*grey, 2, 1), static_cast<int>(((c & 0xFF) + ((c >> 8) & 0xFF) + (c >> 16) + 1) / 3));
    EXPECT_EQ(img->BitCount(), 24);  // the original is unchanged
}

TEST(cImageDerived, ResampleToTheSameSizeIsExactAndScalingAverages) {
    auto img = Asymmetric(5, 3);
    const auto same = img->Resample(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(PixelOf(*same, x, y), PixelOf(*img, x, y));
    const auto half = img->Resample(1, 1);
    ASSERT_EQ(half->Width(), 1);
    std::uint32_t sum = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) sum += PixelOf(*img, x, y) & 0xFF;
    EXPECT_NEAR(static_cast<int>(PixelOf(*half, 0, 0) & 0xFF), static_cast<int>(sum / 15), 1);

    // Palette images keep their depth and table.
    const auto grey = img->Greyscale();
    const auto bigger = grey->Resample(10, 6);
    EXPECT_EQ(bigger->BitCount(), 8);
    EXPECT_EQ(IndexOf(*bigger, 9, 5), IndexOf(*grey, 4, 2));
}

TEST(cImageDerived, MirrorMapsEveryPixel) {
    auto img = Asymmetric();
    const auto v = img->Mirror(true);
    const auto h = img->Mirror(false);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelOf(*v, x, 1 - y), PixelOf(*img, x, y));
            EXPECT_EQ(PixelOf(*h, 2 - x, y), PixelOf(*img, x, y));
        }
    }
    const auto twice = v->Mirror(true);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(*twice, x, y), PixelOf(*img, x, y));
}

TEST(cImageDerived, RotateMapsEveryPixelAndTakesTheAngleModulo360) {
    auto img = Asymmetric();  // 3 x 2
    const auto r90 = img->Rotate(90), r180 = img->Rotate(180), r270 = img->Rotate(270);
    ASSERT_TRUE(r90 && r180 && r270);
    EXPECT_EQ(r90->Width(), 2);
    EXPECT_EQ(r90->Height(), 3);
    EXPECT_EQ(r180->Width(), 3);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const std::uint32_t c = PixelOf(*img, x, y);
            EXPECT_EQ(PixelOf(*r90, y, 2 - x), c);
            EXPECT_EQ(PixelOf(*r180, 2 - x, 1 - y), c);
            EXPECT_EQ(PixelOf(*r270, 1 - y, x), c);
        }
    }
    const auto minus90 = img->Rotate(-90), r450 = img->Rotate(450);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(PixelOf(*minus90, x, y), PixelOf(*r270, x, y));
            EXPECT_EQ(PixelOf(*r450, x, y), PixelOf(*r90, x, y));
        }
    }
    EXPECT_EQ(img->Rotate(0), nullptr);
    EXPECT_EQ(img->Rotate(360), nullptr);
    EXPECT_EQ(img->Rotate(45), nullptr);
    EXPECT_EQ(img->Rotate(-360), nullptr);
}

TEST(cImageDerived, RotatedPaletteImagesKeepTheirIndices) {
    const auto grey = Asymmetric()->Greyscale();
    const auto r = grey->Rotate(270);
    EXPECT_EQ(r->BitCount(), 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(IndexOf(*r, 1 - y, x), IndexOf(*grey, x, y));
}

// Every image holds its DC and bitmap in a session of its own; nothing a
// copy or a derived image needed on the way is left in any session.
TEST(cImageLifetime, EveryImageHoldsItsOwnDcAndBitmapOnly) {
    const std::size_t before = Handles().LiveHandleCount();
    auto img = Asymmetric(8, 6);
    auto a = img->Greyscale();
    auto b = img->Resample(4, 3);
    auto c = img->Mirror(false);
    auto d = a->Rotate(90);
    StdPicture pic = MakePicture(4, 4, 8, rastertest::GreyTable(256), [](std::uint8_t*, int) {});
    std::int16_t bpp = 0;
    cImage e;
    EXPECT_TRUE(e.CopyStdPicture(pic, bpp));
    EXPECT_TRUE(e.Create(3, 3, 4));  // re-creating releases the previous image
    for (const cImage* image : {img.get(), a.get(), b.get(), c.get(), d.get(), &e}) {
        EXPECT_EQ(image->Handles().LiveHandleCount(), 2u);
    }
    EXPECT_EQ(pic.Handles().LiveHandleCount(), 1u);  // the DC it was read through is gone
    EXPECT_EQ(Handles().LiveHandleCount(), before);  // and the surface the first image came from
}
