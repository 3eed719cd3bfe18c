// StretchBlt (HALFTONE area averaging, COLORONCOLOR nearest pixel, mirroring)
// and PlgBlt (quarter turns and mirrors pixel for pixel, general mapping).
#include <gtest/gtest.h>

#include "RasterTestSupport.h"

using namespace gdi;
using rastertest::Handles;
using rastertest::Surface;

TEST(RasterStretchBlt, HalftoneShrinkAveragesEachCoveredBlock) {
    Surface src(4, 2, 24), dst(2, 1, 24);
    // Left 2x2 block: 0, 100, 200, 100 (mean 100) in blue; right block flat 0x406080.
    src.Set(0, 0, 0);
    src.Set(1, 0, 100);
    src.Set(0, 1, 200);
    src.Set(1, 1, 100);
    for (int y = 0; y < 2; ++y) {
        src.Set(2, y, 0x406080);
        src.Set(3, y, 0x406080);
    }
    SetStretchBltMode(Handles(), dst.hdc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(Handles(), dst.hdc(), 0, 0, 2, 1, src.hdc(), 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.Get(0, 0), 100u);
    EXPECT_EQ(dst.Get(1, 0), 0x406080u);  // a flat area stays exactly its colour
}

TEST(RasterStretchBlt, HalftoneFractionalShrinkWeighsByCoveredArea) {
    // 3 pixels into 2: the middle source pixel is split half and half.
    Surface src(3, 1, 32), dst(2, 1, 32);
    src.Set(0, 0, 0);
    src.Set(1, 0, 90);
    src.Set(2, 0, 180);
    SetStretchBltMode(Handles(), dst.hdc(), HALFTONE);
    StretchBlt(Handles(), dst.hdc(), 0, 0, 2, 1, src.hdc(), 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(dst.Get(0, 0), 30u);   // (1 * 0 + 0.5 * 90) / 1.5
    EXPECT_EQ(dst.Get(1, 0), 150u);  // (0.5 * 90 + 1 * 180) / 1.5
}

TEST(RasterStretchBlt, HalftoneEnlargeBlendsOnlyAcrossSourceEdges) {
    Surface src(2, 1, 24), dst(5, 1, 24);
    src.Set(0, 0, 0);
    src.Set(1, 0, 250);
    SetStretchBltMode(Handles(), dst.hdc(), HALFTONE);
    StretchBlt(Handles(), dst.hdc(), 0, 0, 5, 1, src.hdc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Get(0, 0), 0u);
    EXPECT_EQ(dst.Get(1, 0), 0u);
    EXPECT_EQ(dst.Get(2, 0), 125u);  // straddles the edge half and half
    EXPECT_EQ(dst.Get(3, 0), 250u);
    EXPECT_EQ(dst.Get(4, 0), 250u);
}

TEST(RasterStretchBlt, HalftoneKeepsFlatColoursAtAnyScale) {
    for (const auto& [sw, sh, dw, dh] : std::vector<std::tuple<int, int, int, int>>{
             {17, 9, 9, 5}, {7, 3, 23, 11}, {100, 1, 3, 1}, {1, 1, 8, 8}}) {
        Surface src(sw, sh, 24), dst(dw, dh, 24);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) src.Set(x, y, 0x7F01FE);
        SetStretchBltMode(Handles(), dst.hdc(), HALFTONE);
        StretchBlt(Handles(), dst.hdc(), 0, 0, dw, dh, src.hdc(), 0, 0, sw, sh, SRCCOPY);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x)
                ASSERT_EQ(dst.Get(x, y), 0x7F01FEu) << sw << "x" << sh << " " << x << "," << y;
    }
}

TEST(RasterStretchBlt, NearestPixelAndMirroring) {
    Surface src(4, 2, 24);
    src.Fill();
    Surface dst(2, 2, 24);
    SetStretchBltMode(Handles(), dst.hdc(), COLORONCOLOR);
    StretchBlt(Handles(), dst.hdc(), 0, 0, 2, 2, src.hdc(), 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(dst.Get(0, 0), Surface::Pattern(1, 0));  // centre of dest 0 is source 1.0
    EXPECT_EQ(dst.Get(1, 1), Surface::Pattern(3, 1));
    // A negative destination width mirrors; the rectangle ends at the start pixel.
    Surface mir(4, 2, 24);
    StretchBlt(Handles(), mir.hdc(), 3, 0, -4, 2, src.hdc(), 0, 0, 4, 2, SRCCOPY);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(mir.Get(x, 1), Surface::Pattern(3 - x, 1));
    EXPECT_FALSE(StretchBlt(Handles(), mir.hdc(), 0, 0, 4, 2, src.hdc(), 0, 0, 0, 2, SRCCOPY));
}

TEST(RasterStretchBlt, SourceOutsideItsBitmapLeavesDestinationAlone) {
    Surface src(2, 2, 24), dst(4, 4, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) src.Set(x, y, 0x00FF00);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) dst.Set(x, y, 0x0000FF);
    SetStretchBltMode(Handles(), dst.hdc(), HALFTONE);
    StretchBlt(Handles(), dst.hdc(), 0, 0, 4, 4, src.hdc(), 0, 0, 4, 4,
               SRCCOPY);  // equal sizes: a block copy
    StretchBlt(Handles(), dst.hdc(), 0, 0, 2, 2, src.hdc(), 1, 1, 4, 4,
               SRCCOPY);  // mostly outside the source
    EXPECT_EQ(dst.Get(0, 0), 0x00FF00u);
    EXPECT_EQ(dst.Get(1, 1), 0x00FF00u);  // reads source (3..5) which is outside: untouched
    EXPECT_EQ(dst.Get(3, 3), 0x0000FFu);
}

class RasterPlgBlt : public ::testing::Test {
  protected:
    // A 3 x 2 picture: every pixel distinct and no symmetry.
    static constexpr int W = 3, H = 2;
    Surface src{W, H, 24};
    void SetUp() override { src.Fill(); }

    // Runs PlgBlt into a fresh picture and checks every pixel against a mapping.
    template <typename Map>
    void Check(int dw, int dh, std::array<POINT, 3> pts, int bpp, Map map) {
        Surface dst(dw, dh, bpp);
        ASSERT_TRUE(PlgBlt(Handles(), dst.hdc(), pts.data(), src.hdc(), 0, 0, W, H, 0, 0, 0));
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const auto [tx, ty] = map(x, y);
                ASSERT_EQ(dst.Get(tx, ty), Surface::Pattern(x, y)) << "source " << x << "," << y;
            }
        }
    }
};

TEST_F(RasterPlgBlt, QuarterTurnsAndMirrorsMoveEveryPixelExactly) {
    for (const int bpp : {24, 32}) {
        Check(W, H, {{{0, H}, {W, H}, {0, 0}}}, bpp, [](int x, int y) { return std::pair{x, H - 1 - y}; });
        Check(W, H, {{{W, 0}, {0, 0}, {W, H}}}, bpp, [](int x, int y) { return std::pair{W - 1 - x, y}; });
        Check(H, W, {{{0, W}, {0, 0}, {H, W}}}, bpp, [](int x, int y) { return std::pair{y, W - 1 - x}; });
        Check(W, H, {{{W, H}, {0, H}, {W, 0}}}, bpp, [](int x, int y) {
            return std::pair{W - 1 - x, H - 1 - y};
        });
        Check(H, W, {{{H, 0}, {H, W}, {0, 0}}}, bpp, [](int x, int y) { return std::pair{H - 1 - y, x}; });
    }
}

TEST_F(RasterPlgBlt, GeneralMappingSamplesUnderPixelCentres) {
    // Scale by two: each source pixel covers a 2 x 2 block.
    Surface dst(2 * W, 2 * H, 24);
    const POINT pts[3] = {{0, 0}, {2 * W, 0}, {0, 2 * H}};
    ASSERT_TRUE(PlgBlt(Handles(), dst.hdc(), pts, src.hdc(), 0, 0, W, H, 0, 0, 0));
    for (int y = 0; y < 2 * H; ++y)
        for (int x = 0; x < 2 * W; ++x) ASSERT_EQ(dst.Get(x, y), Surface::Pattern(x / 2, y / 2));
    // A shear leaves the pixels outside the parallelogram alone.
    Surface sheared(W + H, H, 24);
    const POINT shear[3] = {{H, 0}, {H + W, 0}, {0, H}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W + H; ++x) sheared.Set(x, y, 0xABCDEF);
    PlgBlt(Handles(), sheared.hdc(), shear, src.hdc(), 0, 0, W, H, 0, 0, 0);
    EXPECT_EQ(sheared.Get(0, 0), 0xABCDEFu);
    EXPECT_EQ(sheared.Get(2, 0),
              Surface::Pattern(1, 0));  // the centre of the top row is shifted half a pixel
    EXPECT_EQ(sheared.Get(1, 1), Surface::Pattern(1, 1));
    EXPECT_EQ(sheared.Get(4, 1), 0xABCDEFu);
    // A degenerate parallelogram draws nothing; masks are refused.
    const POINT flat[3] = {{0, 0}, {W, 0}, {2 * W, 0}};
    EXPECT_TRUE(PlgBlt(Handles(), sheared.hdc(), flat, src.hdc(), 0, 0, W, H, 0, 0, 0));
    EXPECT_FALSE(PlgBlt(Handles(), sheared.hdc(), shear, src.hdc(), 0, 0, W, H, src.bitmap.get(), 0, 0));
}

TEST(RasterPlgBltPalette, IndexedPicturesKeepTheirIndices) {
    const auto table = rastertest::GreyTable(16);
    Surface src(5, 3, 4, table), dst(3, 5, 4, table);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) src.SetIndex(x, y, (x + 5 * y) % 16);
    const POINT pts[3] = {{0, 5}, {0, 0}, {3, 5}};  // quarter turn counter-clockwise
    ASSERT_TRUE(PlgBlt(Handles(), dst.hdc(), pts, src.hdc(), 0, 0, 5, 3, 0, 0, 0));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.Index(y, 4 - x), (x + 5 * y) % 16);
}

TEST_F(RasterPlgBlt, MirroringABitmapOntoItselfReadsTheOriginal) {
    const POINT pts[3] = {{W, 0}, {0, 0}, {W, H}};
    ASSERT_TRUE(PlgBlt(Handles(), src.hdc(), pts, src.hdc(), 0, 0, W, H, 0, 0, 0));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) EXPECT_EQ(src.Get(W - 1 - x, y), Surface::Pattern(x, y));
}
