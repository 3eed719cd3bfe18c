// Sampling from a device context: component sizes, edge padding, colour
// conversion and the source rectangle.
#include <gtest/gtest.h>

#include <algorithm>

#include "JpegTestSupport.h"
#include "imaging/Rgb32View.h"
#include "jpeg/JpegHuffman.h"
#include "jpeg/cJpeg.h"
#include "raster/GdiHandles.h"

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
    ASSERT_EQ(a.SampleHDC(small.Handles(), small.Dc(), 10, 10, 0, 0), 0);
    ASSERT_EQ(b.SampleHDC(padded.Handles(), padded.Dc(), 16, 16, 0, 0), 0);
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
        ASSERT_EQ(a.SampleHDC(small.Handles(), small.Dc(), 13, height, 0, 0), 0);
        ASSERT_EQ(b.SampleHDC(big.Handles(), big.Dc(), 16, padded, 0, 0), 0);
        EXPECT_EQ(Coefficients(a, 0), Coefficients(b, 0)) << height;
        EXPECT_EQ(Coefficients(a, 2), Coefficients(b, 2)) << height;
    }
}

TEST(JpegSampling, SourceRectangleOffsetAndAreaOutsideTheSourceReadsBlack) {
    const SourcePicture source(24, 16, Pattern);
    // Offset: (8, 8) of the source is the origin of an 8 x 8 picture.
    const SourcePicture corner(8, 8, [](int x, int y) { return Pattern(x + 8, y + 8); });
    cJpeg a, b;
    ASSERT_EQ(a.SampleHDC(source.Handles(), source.Dc(), 8, 8, 8, 8), 0);
    ASSERT_EQ(b.SampleHDC(corner.Handles(), corner.Dc(), 8, 8, 0, 0), 0);
    EXPECT_EQ(Coefficients(a, 0), Coefficients(b, 0));

    // A rectangle reaching past the source's right edge: black there.
    const SourcePicture blackRight(16, 16, [](int x, int y) {
        return x < 8 ? Pattern(x + 16, y) : Rgb{0, 0, 0};
    });
    ASSERT_EQ(a.SampleHDC(source.Handles(), source.Dc(), 16, 16, 16, 0), 0);
    ASSERT_EQ(b.SampleHDC(blackRight.Handles(), blackRight.Dc(), 16, 16, 0, 0), 0);
    EXPECT_EQ(Coefficients(a, 1), Coefficients(b, 1));
}

TEST(JpegSampling, SubsampledComponentsAreScaledAndShareOnePicture) {
    const SourcePicture picture(17, 9, Pattern);
    cJpeg encoder;
    encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 17, 9, 0, 0), 0);
    EXPECT_EQ(encoder.State().components[0].coefficients.Blocks(), 6u);  // 24 x 16
    EXPECT_EQ(encoder.State().components[1].coefficients.Blocks(), 2u);  // 9 x 5 -> 16 x 8
    EXPECT_EQ(encoder.State().components[2].coefficients.Blocks(), 2u);

    cJpeg grey;
    grey.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    ASSERT_EQ(grey.SampleHDC(picture.Handles(), picture.Dc(), 17, 9, 0, 0), 0);
    ASSERT_EQ(grey.State().components.size(), 1u);
    // Y is at full size in both, so the grey encoder's only component equals it.
    EXPECT_EQ(Coefficients(grey, 0), Coefficients(encoder, 0));
}

TEST(JpegSampling, GreyAndWhiteGiveTheExpectedDcTerms) {
    // R = G = B = 128: every sample is 0 after the level shift.
    const SourcePicture grey(16, 8, [](int, int) { return Rgb{128, 128, 128}; });
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(grey.Handles(), grey.Dc(), 16, 8, 0, 0), 0);
    for (int c = 0; c < 3; ++c) {
        const auto coefficients = Coefficients(encoder, c);
        EXPECT_TRUE(std::all_of(coefficients.begin(), coefficients.end(), [](int v) { return v == 0; })) << c;
    }
    // White at quality 100: Y = 127, DC = 8 * 127.
    const SourcePicture white(8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    encoder.Quality(100);
    ASSERT_EQ(encoder.SampleHDC(white.Handles(), white.Dc(), 8, 8, 0, 0), 0);
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
            ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 8, 8, 0, 0), 0);
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
    ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 8, 8, 0, 0), 0);
    const auto fine = Coefficients(encoder, 0);
    encoder.Quality(10);  // changes the tables, not what was sampled
    EXPECT_EQ(Coefficients(encoder, 0), fine);
    ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 8, 8, 0, 0), 0);
    EXPECT_NE(Coefficients(encoder, 0), fine);
}

TEST(JpegSampling, EmptyRectangleOrMissingDcFailsWithoutTouchingTheArrays) {
    const SourcePicture picture(8, 8, Pattern);
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 8, 8, 0, 0), 0);
    const auto before = Coefficients(encoder, 0);
    EXPECT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 0, 8, 0, 0), 1);
    EXPECT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 8, -3, 0, 0), 1);
    EXPECT_EQ(Coefficients(encoder, 0), before);
    // A DC that does not exist reads as black, as a blit from it does nothing.
    const SourcePicture black(8, 8, [](int, int) { return Rgb{0, 0, 0}; });
    cJpeg reference;
    ASSERT_EQ(reference.SampleHDC(black.Handles(), black.Dc(), 8, 8, 0, 0), 0);
    const gdi::Session none;
    ASSERT_EQ(encoder.SampleHDC(none, 0, 8, 8, 0, 0), 0);
    EXPECT_EQ(Coefficients(encoder, 0), Coefficients(reference, 0));
}

// Sampling reads the source's session and leaves nothing in it: the work
// bitmap of subsampled components lives in a session of its own.
TEST(JpegSampling, NothingIsLeftInTheSourcesSession) {
    const SourcePicture picture(40, 300, Pattern);
    const std::size_t before = picture.Handles().LiveHandleCount();
    for (const bool subsampled : {false, true}) {
        cJpeg encoder;
        encoder.SetThreadCount(3);
        if (subsampled) encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
        ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 40, 300, 0, 0), 0);
        EXPECT_EQ(picture.Handles().LiveHandleCount(), before) << (subsampled ? "subsampled" : "full size");
    }
}

// The canvas's pixels read in place (32-bit, top-down, rows wider than the
// picture) give the coefficients of the same picture in a 24-bit DC; so do
// the colours of a palette picture, which is read through a 32-bit copy.
TEST(JpegSampling, ViewsAndPaletteDcsSampleLikeTwentyFourBitDcs) {
    for (const auto& [width, height] : {std::pair{1, 1}, {13, 9}, {40, 33}, {70, 257}}) {
        const SourcePicture dib(width, height, Pattern);
        const int stride = 4 * width + 12;
        std::vector<std::uint8_t> rgb32(static_cast<std::size_t>(stride) * height, 0xEE);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Rgb c = Pattern(x, y);
                std::uint8_t* p = rgb32.data() + y * stride + 4 * x;
                p[0] = c.b;
                p[1] = c.g;
                p[2] = c.r;
                p[3] = 0x17;  // alpha, dropped
            }
        }
        cJpeg fromDc, fromView;
        fromDc.SetThreadCount(3);
        fromView.SetThreadCount(2);
        ASSERT_EQ(fromDc.SampleHDC(dib.Handles(), dib.Dc(), width, height, 0, 0), 0);
        ASSERT_EQ(fromView.SampleView({rgb32.data(), width, height, stride}), 0);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(Coefficients(fromView, c), Coefficients(fromDc, c))
                << width << "x" << height << " " << c;
        }
    }

    // A 4-bit grey picture and the 24-bit picture of its colours.
    const SourcePicture greys(9, 10, [](int x, int y) {
        const auto level = static_cast<std::uint8_t>(((x + 2 * y) % 16) * 17);
        return Rgb{level, level, level};
    });
    gdi::Session session;
    gdi::BITMAPINFO info{};
    info.bmiHeader = {40, 9, -10, 1, 4, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const auto g = static_cast<gdi::BYTE>(i * 17);
        info.bmiColors[i] = {g, g, g, 0};
    }
    void* bits = nullptr;
    const gdi::UniqueDC dc(session, gdi::CreateCompatibleDC(session, 0));
    const gdi::UniqueBitmap bitmap(
        session, gdi::CreateDIBSection(session, dc.get(), &info, gdi::DIB_RGB_COLORS, &bits, 0, 0));
    const gdi::SelectionGuard selection(session, dc.get(), bitmap.get());
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 9; ++x) {
            std::uint8_t& pair = static_cast<std::uint8_t*>(bits)[y * 8 + x / 2];
            const int index = (x + 2 * y) % 16;
            pair =
                static_cast<std::uint8_t>(x % 2 == 0 ? (pair & 0x0F) | (index << 4) : (pair & 0xF0) | index);
        }
    }
    cJpeg fromPalette, fromColours;
    ASSERT_EQ(fromPalette.SampleHDC(session, dc.get(), 9, 10, 0, 0), 0);
    ASSERT_EQ(fromColours.SampleHDC(greys.Handles(), greys.Dc(), 9, 10, 0, 0), 0);
    EXPECT_EQ(Coefficients(fromPalette, 0), Coefficients(fromColours, 0));
}

// The statistics counted while sampling, thread by thread, are those the
// walk over the stored coefficients counts; encoders whose scans do not code
// components in row order leave the counting to that walk.
TEST(JpegSampling, StatisticsCountedWhileSamplingEqualThoseOfTheCoefficients) {
    const SourcePicture picture(203, 170, [](int x, int y) {
        return (x / 9 + y / 7) % 3 == 0 ? Pattern(x, y) : Rgb{250, 250, static_cast<std::uint8_t>(y)};
    });
    struct Case {
        int threads;
        int factors[6];
        bool countedWhileSampling;
    };
    for (const Case& c : {Case{1, {1, 1, 1, 1, 1, 1}, true}, Case{2, {1, 1, 1, 1, 1, 1}, true},
                          Case{3, {1, 1, 1, 1, 1, 1}, true}, Case{3, {1, 1, 0, 0, 0, 0}, true},
                          Case{2, {2, 2, 1, 1, 1, 1}, false}}) {
        cJpeg encoder;
        encoder.SetThreadCount(c.threads);
        const int* f = c.factors;
        encoder.SetSamplingFrequencies(f[0], f[1], f[2], f[3], f[4], f[5]);
        ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 203, 170, 0, 0), 0);
        jpeg::EncoderState whileSampling = encoder.State();
        EXPECT_EQ(whileSampling.counted.size(),
                  c.countedWhileSampling ? whileSampling.components.size() : 0u);
        jpeg::EncoderState fromStore = encoder.State();
        fromStore.counted.clear();
        EXPECT_EQ(jpeg::OptimiseTables(whileSampling, c.threads), jpeg::OptimiseTables(fromStore, c.threads));
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(whileSampling.dc[k].bits, fromStore.dc[k].bits) << c.threads << " threads, slot " << k;
            EXPECT_EQ(whileSampling.dc[k].huffval, fromStore.dc[k].huffval) << c.threads << " threads";
            EXPECT_EQ(whileSampling.ac[k].bits, fromStore.ac[k].bits) << c.threads << " threads, slot " << k;
            EXPECT_EQ(whileSampling.ac[k].huffval, fromStore.ac[k].huffval) << c.threads << " threads";
        }
    }
}

}  // namespace
