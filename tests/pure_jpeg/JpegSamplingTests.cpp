// Sampling from a device context: component sizes, edge padding, colour
// conversion and the source rectangle.
#include <gtest/gtest.h>

#include <algorithm>

#include "JpegTestSupport.h"
#include "jpeg/cJpeg.h"

using jpegtest::Rgb;
using jpegtest::SourcePicture;

namespace {

Rgb Pattern(int x, int y) {
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * x + 3 * y),
            static_cast<std::uint8_t>(200 - 13 * y + x)};
}

std::vector<std::int16_t> Coefficients(const cJpeg& encoder, int component) {
    return encoder.State().components[static_cast<std::size_t>(component)].coefficients.Dense();
}

TEST(JpegSampling, EdgesArePaddedByRepeatingTheLastColumnAndRow) {
    // 10 x 10 pads to 16 x 16 exactly like a 16 x 16 picture whose columns and
    // rows 10..15 repeat column and row 9.
    const SourcePicture small(10, 10, Pattern);
    const SourcePicture padded(16, 16, [](int x, int y) { return Pattern(std::min(x, 9), std::min(y, 9)); });
    cJpeg a, b;
    ASSERT_EQ(a.SampleHDC(small.Dc(), 10, 10, 0, 0), 0);
    ASSERT_EQ(b.SampleHDC(padded.Dc(), 16, 16, 0, 0), 0);
    EXPECT_EQ(a.State().width, 10);
    EXPECT_EQ(a.State().precision, 8);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(a.State().components[c].id, c + 1);
        EXPECT_EQ(a.State().components[c].coefficients.Blocks(), 4u);
        EXPECT_EQ(Coefficients(a, c), Coefficients(b, c)) << "component " << c;
    }
}

TEST(JpegSampling, TallPicturesPadTheirLastStripToo) {
    // Heights that end inside a strip of block rows, and a one-line picture.
    for (const int height : {1, 33, 70, 257}) {
        const int padded = (height + 7) / 8 * 8;
        const SourcePicture small(13, height, Pattern);
        const SourcePicture big(
            16, padded, [height](int x, int y) { return Pattern(std::min(x, 12), std::min(y, height - 1)); });
        cJpeg a, b;
        ASSERT_EQ(a.SampleHDC(small.Dc(), 13, height, 0, 0), 0);
        ASSERT_EQ(b.SampleHDC(big.Dc(), 16, padded, 0, 0), 0);
        EXPECT_EQ(Coefficients(a, 0), Coefficients(b, 0)) << height;
        EXPECT_EQ(Coefficients(a, 2), Coefficients(b, 2)) << height;
    }
}

TEST(JpegSampling, SourceRectangleOffsetAndAreaOutsideTheSourceReadsBlack) {
    const SourcePicture source(24, 16, Pattern);
    // Offset: (8, 8) of the source is the origin of an 8 x 8 picture.
    const SourcePicture corner(8, 8, [](int x, int y) { return Pattern(x + 8, y + 8); });
    cJpeg a, b;
    ASSERT_EQ(a.SampleHDC(source.Dc(), 8, 8, 8, 8), 0);
    ASSERT_EQ(b.SampleHDC(corner.Dc(), 8, 8, 0, 0), 0);
    EXPECT_EQ(Coefficients(a, 0), Coefficients(b, 0));

    // A rectangle reaching past the source's right edge: black there.
    const SourcePicture blackRight(16, 16, [](int x, int y) {
        return x < 8 ? Pattern(x + 16, y) : Rgb{0, 0, 0};
    });
    ASSERT_EQ(a.SampleHDC(source.Dc(), 16, 16, 16, 0), 0);
    ASSERT_EQ(b.SampleHDC(blackRight.Dc(), 16, 16, 0, 0), 0);
    EXPECT_EQ(Coefficients(a, 1), Coefficients(b, 1));
}

TEST(JpegSampling, SubsampledComponentsAreScaledAndShareOnePicture) {
    const SourcePicture picture(17, 9, Pattern);
    cJpeg encoder;
    encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 17, 9, 0, 0), 0);
    EXPECT_EQ(encoder.State().components[0].coefficients.Blocks(), 6u);  // 24 x 16
    EXPECT_EQ(encoder.State().components[1].coefficients.Blocks(), 2u);  // 9 x 5 -> 16 x 8
    EXPECT_EQ(encoder.State().components[2].coefficients.Blocks(), 2u);

    cJpeg grey;
    grey.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    ASSERT_EQ(grey.SampleHDC(picture.Dc(), 17, 9, 0, 0), 0);
    ASSERT_EQ(grey.State().components.size(), 1u);
    // Y is at full size in both, so the grey encoder's only component equals it.
    EXPECT_EQ(Coefficients(grey, 0), Coefficients(encoder, 0));
}

TEST(JpegSampling, GreyAndWhiteGiveTheExpectedDcTerms) {
    // R = G = B = 128: every sample is 0 after the level shift.
    const SourcePicture grey(16, 8, [](int, int) { return Rgb{128, 128, 128}; });
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(grey.Dc(), 16, 8, 0, 0), 0);
    for (int c = 0; c < 3; ++c) {
        const auto coefficients = Coefficients(encoder, c);
        EXPECT_TRUE(std::all_of(coefficients.begin(), coefficients.end(), [](int v) { return v == 0; })) << c;
    }
    // White at quality 100: Y = 127, DC = 8 * 127.
    const SourcePicture white(8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    encoder.Quality(100);
    ASSERT_EQ(encoder.SampleHDC(white.Dc(), 8, 8, 0, 0), 0);
    EXPECT_EQ(Coefficients(encoder, 0)[0], 1016);
    EXPECT_EQ(Coefficients(encoder, 1)[0], 0);
}

// A block counts as one colour only when every byte agrees: one byte off
// anywhere must give AC terms.
TEST(JpegSampling, OneDifferentByteMakesABlockNonFlat) {
    cJpeg encoder;
    encoder.Quality(100);
    for (int pixel = 0; pixel < 64; ++pixel) {
        for (int channel = 0; channel < 3; ++channel) {
            const SourcePicture picture(8, 8, [&](int x, int y) {
                Rgb c{40, 40, 40};
                if (y * 8 + x == pixel) (channel == 0 ? c.r : channel == 1 ? c.g : c.b) = 240;
                return c;
            });
            ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 8, 8, 0, 0), 0);
            bool anyAc = false;
            for (int c = 0; c < 3; ++c) {
                const auto coefficients = Coefficients(encoder, c);
                anyAc = anyAc || std::any_of(coefficients.begin() + 1, coefficients.end(),
                                             [](int v) { return v != 0; });
            }
            EXPECT_TRUE(anyAc) << "pixel " << pixel << " channel " << channel;
        }
    }
}

TEST(JpegSampling, QualityInForceWhenSamplingQuantises) {
    const SourcePicture picture(8, 8, Pattern);
    cJpeg encoder;
    encoder.Quality(100);
    ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 8, 8, 0, 0), 0);
    const auto fine = Coefficients(encoder, 0);
    encoder.Quality(10);  // changes the tables, not what was sampled
    EXPECT_EQ(Coefficients(encoder, 0), fine);
    ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 8, 8, 0, 0), 0);
    EXPECT_NE(Coefficients(encoder, 0), fine);
}

TEST(JpegSampling, EmptyRectangleOrMissingDcFailsWithoutTouchingTheArrays) {
    const SourcePicture picture(8, 8, Pattern);
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 8, 8, 0, 0), 0);
    const auto before = Coefficients(encoder, 0);
    EXPECT_EQ(encoder.SampleHDC(picture.Dc(), 0, 8, 0, 0), 1);
    EXPECT_EQ(encoder.SampleHDC(picture.Dc(), 8, -3, 0, 0), 1);
    EXPECT_EQ(Coefficients(encoder, 0), before);
    // A DC that does not exist reads as black, as a blit from it does nothing.
    const SourcePicture black(8, 8, [](int, int) { return Rgb{0, 0, 0}; });
    cJpeg reference;
    ASSERT_EQ(reference.SampleHDC(black.Dc(), 8, 8, 0, 0), 0);
    ASSERT_EQ(encoder.SampleHDC(0, 8, 8, 0, 0), 0);
    EXPECT_EQ(Coefficients(encoder, 0), Coefficients(reference, 0));
}

// The work bitmaps (strips for full-size components, one stretched picture
// for subsampled ones) and their DCs are all released after sampling.
TEST(JpegSampling, WorkBitmapsAreReleased) {
    const SourcePicture picture(40, 300, Pattern);
    const std::size_t before = gdi::LiveHandleCount();
    for (const bool subsampled : {false, true}) {
        cJpeg encoder;
        encoder.SetThreadCount(3);
        if (subsampled) encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
        ASSERT_EQ(encoder.SampleHDC(picture.Dc(), 40, 300, 0, 0), 0);
        EXPECT_EQ(gdi::LiveHandleCount(), before) << (subsampled ? "subsampled" : "full size");
    }
}

}  // namespace
