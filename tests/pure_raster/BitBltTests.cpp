// BitBlt: conversions between depths, row orders, clipping, overlap and
// raster operations; GetDIBits.
#include <gtest/gtest.h>

#include "RasterTestSupport.h"

using namespace gdi;
using rastertest::Handles;
using rastertest::Surface;

TEST(RasterBitBlt, ConvertsBetweenRgbDepthsAndRowOrders) {
    // Every pair of 16/24/32-bit, bottom-up and top-down, odd width so the
    // padding bytes of each row are exercised.
    for (const int srcBpp : {24, 32}) {
        for (const int dstBpp : {24, 32}) {
            for (const int srcSign : {1, -1}) {
                for (const int dstSign : {1, -1}) {
                    Surface src(7, 5 * srcSign, srcBpp);
                    src.Fill();
                    Surface dst(7, 5 * dstSign, dstBpp);
                    const std::vector<std::uint8_t> pad(dst.Row(0) + 21, dst.Row(0) + dst.Stride());
                    ASSERT_TRUE(BitBlt(Handles(), dst.hdc(), 0, 0, 7, 5, src.hdc(), 0, 0, SRCCOPY));
                    for (int y = 0; y < 5; ++y)
                        for (int x = 0; x < 7; ++x)
                            ASSERT_EQ(dst.Get(x, y), Surface::Pattern(x, y))
                                << srcBpp << "->" << dstBpp << " " << srcSign << dstSign << " at " << x << ","
                                << y;
                    if (dstBpp == 24) {
                        EXPECT_EQ(std::vector<std::uint8_t>(dst.Row(0) + 21, dst.Row(0) + dst.Stride()), pad);
                    }
                }
            }
        }
    }
}

TEST(RasterBitBlt, SixteenBitRoundTripKeepsFiveBitsPerChannel) {
    Surface src(3, 1, 24), mid(3, 1, 16), back(3, 1, 24);
    src.Set(0, 0, 0xFFFFFF);
    src.Set(1, 0, 0x000000);
    src.Set(2, 0, 0x10FF08);
    BitBlt(Handles(), mid.hdc(), 0, 0, 3, 1, src.hdc(), 0, 0, SRCCOPY);
    BitBlt(Handles(), back.hdc(), 0, 0, 3, 1, mid.hdc(), 0, 0, SRCCOPY);
    EXPECT_EQ(back.Get(0, 0), 0xFFFFFFu);
    EXPECT_EQ(back.Get(1, 0), 0u);
    EXPECT_EQ(back.Get(2, 0), 0x10FF08u);
}

TEST(RasterBitBlt, PaletteTargetsGetTheNearestColour) {
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}};
    Surface src(4, 1, 24), dst(4, 1, 4, table);
    src.Set(0, 0, 0xF01010);  // reddish -> red (1)
    src.Set(1, 0, 0x20E020);  // greenish -> green (2)
    src.Set(2, 0, 0xD0D0D0);  // light grey -> white (3)
    src.Set(3, 0, 0x202020);  // dark -> black (0)
    BitBlt(Handles(), dst.hdc(), 0, 0, 4, 1, src.hdc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Index(0, 0), 1);
    EXPECT_EQ(dst.Index(1, 0), 2);
    EXPECT_EQ(dst.Index(2, 0), 3);
    EXPECT_EQ(dst.Index(3, 0), 0);

    // Into the grey ramp: the grey nearest in RGB distance, i.e. the rounded mean.
    Surface grey(4, 1, 8, rastertest::GreyTable(256));
    BitBlt(Handles(), grey.hdc(), 0, 0, 4, 1, src.hdc(), 0, 0, SRCCOPY);
    EXPECT_EQ(grey.Index(0, 0), (0xF0 + 0x10 + 0x10 + 1) / 3);
    EXPECT_EQ(grey.Index(2, 0), 0xD0);

    // Palette to palette of another depth goes through the colours.
    Surface mono(4, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    BitBlt(Handles(), mono.hdc(), 0, 0, 4, 1, dst.hdc(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.Index(0, 0), 0);  // red is nearer black than white
    EXPECT_EQ(mono.Index(2, 0), 1);
    EXPECT_EQ(mono.Index(3, 0), 0);
}

TEST(RasterBitBlt, SubBytePixelsAtOddOffsetsKeepTheirNeighbours) {
    for (const int bpp : {1, 4}) {
        const int levels = 1 << bpp;
        Surface src(13, 2, bpp, rastertest::GreyTable(levels)),
            dst(13, 2, bpp, rastertest::GreyTable(levels));
        for (int x = 0; x < 13; ++x) {
            src.SetIndex(x, 0, x % levels);
            dst.SetIndex(x, 0, (levels - 1) - x % levels);
        }
        BitBlt(Handles(), dst.hdc(), 3, 0, 7, 1, src.hdc(), 2, 0, SRCCOPY);
        for (int x = 0; x < 13; ++x) {
            const int expected = (x >= 3 && x < 10) ? (x - 1) % levels : (levels - 1) - x % levels;
            EXPECT_EQ(dst.Index(x, 0), expected) << bpp << " bit, x " << x;
        }
    }
}

TEST(RasterBitBlt, ClipsToBothBitmaps) {
    Surface src(4, 4, 24), dst(6, 6, 24);
    src.Fill();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) dst.Set(x, y, 0x123456);
    // Source partly left/above its bitmap, destination partly beyond its right/bottom edge.
    EXPECT_TRUE(BitBlt(Handles(), dst.hdc(), 3, 3, 10, 10, src.hdc(), -1, -1, SRCCOPY));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            // Destination (4, 4) receives source (0, 0): the first column and row fell outside.
            const bool copied = x >= 4 && y >= 4;
            EXPECT_EQ(dst.Get(x, y), copied ? Surface::Pattern(x - 4, y - 4) : 0x123456u) << x << "," << y;
        }
    }
    // Entirely outside: nothing happens, and it is no error.
    EXPECT_TRUE(BitBlt(Handles(), dst.hdc(), -50, -50, 10, 10, src.hdc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(Handles(), dst.hdc(), 0, 0, 10, 10, src.hdc(), 100, 0, SRCCOPY));
    EXPECT_EQ(dst.Get(0, 0), 0x123456u);
    EXPECT_FALSE(BitBlt(Handles(), dst.hdc(), 0, 0, 1, 1, 0, 0, 0, SRCCOPY));  // no source DC
    EXPECT_FALSE(BitBlt(Handles(), 0, 0, 0, 1, 1, src.hdc(), 0, 0, SRCCOPY));
}

TEST(RasterBitBlt, OverlappingCopiesWithinOneBitmap) {
    // The one-row and one-column repeats a sampler uses for padding, and a
    // block moved down and right over itself.
    Surface s(8, 8, 24);
    s.Fill();
    BitBlt(Handles(), s.hdc(), 2, 2, 6, 6, s.hdc(), 0, 0, SRCCOPY);
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < 8; ++x) ASSERT_EQ(s.Get(x, y), Surface::Pattern(x - 2, y - 2)) << x << "," << y;
    s.Fill();
    BitBlt(Handles(), s.hdc(), 0, 0, 6, 6, s.hdc(), 2, 2, SRCCOPY);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(s.Get(x, y), Surface::Pattern(x + 2, y + 2)) << x << "," << y;
    s.Fill();
    BitBlt(Handles(), s.hdc(), 0, 7, 8, 1, s.hdc(), 0, 6, SRCCOPY);
    BitBlt(Handles(), s.hdc(), 7, 0, 1, 8, s.hdc(), 6, 0, SRCCOPY);
    EXPECT_EQ(s.Get(3, 7), Surface::Pattern(3, 6));
    EXPECT_EQ(s.Get(7, 3), Surface::Pattern(6, 3));
}

TEST(RasterBitBlt, RasterOperations) {
    Surface src(1, 1, 24), dst(1, 1, 32);
    src.Set(0, 0, 0x00F0F0);
    const auto run = [&](DWORD rop, std::uint32_t before) {
        dst.Set(0, 0, before);
        BitBlt(Handles(), dst.hdc(), 0, 0, 1, 1, src.hdc(), 0, 0, rop);
        return dst.Get(0, 0);
    };
    EXPECT_EQ(run(SRCCOPY, 0x123456), 0x00F0F0u);
    EXPECT_EQ(run(SRCAND, 0xFF00FF), 0x0000F0u);
    EXPECT_EQ(run(SRCPAINT, 0x0F0000), 0x0FF0F0u);
    EXPECT_EQ(run(SRCINVERT, 0x00FFFF), 0x000F0Fu);
    EXPECT_EQ(run(NOTSRCCOPY, 0), 0xFF0F0Fu);
    EXPECT_EQ(run(SRCERASE, 0x0000FF), 0x00F000u);
    EXPECT_EQ(run(MERGEPAINT, 0x000000), 0xFF0F0Fu);
    EXPECT_EQ(run(NOTSRCERASE, 0x0F0000), 0xF00F0Fu);
    EXPECT_EQ(run(DSTINVERT, 0x0000FF), 0xFFFF00u);
    EXPECT_EQ(run(BLACKNESS, 0x123456), 0u);
    EXPECT_EQ(run(WHITENESS, 0x123456), 0xFFFFFFu);
    // Operations without a source need no source DC.
    EXPECT_TRUE(BitBlt(Handles(), dst.hdc(), 0, 0, 1, 1, 0, 0, 0, BLACKNESS));
}

TEST(RasterGetDIBits, CopiesLinesInTheRequestedDepthAndOrder) {
    Surface src(5, 4, 32);
    src.Fill();
    BITMAPINFO bmi{};
    EXPECT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 0, 4, nullptr, &bmi, DIB_RGB_COLORS),
              0);  // biSize unset
    bmi.bmiHeader.biSize = 40;
    EXPECT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 0, 4, nullptr, &bmi, DIB_RGB_COLORS), 4);
    EXPECT_EQ(bmi.bmiHeader.biBitCount, 32);
    EXPECT_EQ(bmi.bmiHeader.biSizeImage, 80u);

    // Bottom-up 24 bits: line 0 is the bottom row.
    bmi.bmiHeader = {40, 5, 4, 1, 24, 0, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> out(16 * 4, 0xEE);
    ASSERT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 1, 2, out.data(), &bmi, DIB_RGB_COLORS), 2);
    const auto at = [&](int memRow, int x) {
        const std::uint8_t* p = out.data() + memRow * 16 + x * 3;
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    };
    EXPECT_EQ(at(0, 0), Surface::Pattern(0, 2));  // line 1 = second row from the bottom
    EXPECT_EQ(at(1, 4), Surface::Pattern(4, 1));
    EXPECT_EQ(out[2 * 16], 0xEE);  // nothing beyond the lines asked for

    // Top-down: line 0 is the top row; asking past the end copies what there is.
    bmi.bmiHeader = {40, 5, -4, 1, 24, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 3, 10, out.data(), &bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(at(0, 2), Surface::Pattern(2, 3));
    EXPECT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 4, 1, out.data(), &bmi, DIB_RGB_COLORS), 0);
}

TEST(RasterGetDIBits, SamePaletteDepthCopiesIndicesAndTable) {
    const std::vector<RGBQUAD> table = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    Surface src(3, 1, 8, table);
    src.SetIndex(0, 0, 2);
    src.SetIndex(1, 0, 0);
    src.SetIndex(2, 0, 1);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {40, 3, 1, 1, 8, 0, 0, 0, 0, 0, 0};
    std::uint8_t out[4] = {};
    ASSERT_EQ(GetDIBits(Handles(), src.hdc(), src.bitmap.get(), 0, 1, out, &bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[2], 1);
    EXPECT_EQ(bmi.bmiColors[2].rgbRed, 90);
}

TEST(RasterBitBlt, ConvertingRowsOfEveryWidthTouchOnlyTheirPixels) {
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{32, 24}, {24, 32}, {24, 24}, {32, 32}}) {
        for (int w = 1; w <= 37; ++w) {
            Surface src(w + 3, 2, from), dst(w + 5, -2, to);
            src.Fill();
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < w + 5; ++x) dst.Set(x, y, 0x5A5A5A);
            BitBlt(Handles(), dst.hdc(), 1, 1, w, 1, src.hdc(), 2, 0, SRCCOPY);
            for (int x = 0; x < w + 5; ++x) {
                const std::uint32_t expected = (x >= 1 && x <= w) ? Surface::Pattern(x + 1, 0) : 0x5A5A5Au;
                ASSERT_EQ(dst.Get(x, 1), expected) << from << "->" << to << " width " << w << " x " << x;
                ASSERT_EQ(dst.Get(x, 0), 0x5A5A5Au);
            }
        }
    }
}
