// The files the encoder writes: layout, refusal to overwrite, and what a real
// decoder makes of them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "JpegTestSupport.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegFileWriter.h"
#include "jpeg/JpegPixelBlock.h"
#include "raster/gdi.h"

using jpegtest::Rgb;
using jpegtest::SourcePicture;

namespace {

Rgb Smooth(int x, int y) {
    return {static_cast<std::uint8_t>(128 + 100 * std::sin(x / 23.0)),
            static_cast<std::uint8_t>(128 + 90 * std::cos(y / 31.0)),
            static_cast<std::uint8_t>((x + 2 * y) / 3 % 256)};
}

// Screenshot-like: flat areas, sharp text-like strokes, a gradient bar.
Rgb ScreenLike(int x, int y) {
    if (y < 20) return {static_cast<std::uint8_t>(x % 256), 80, 160};
    if ((x / 7 + y / 11) % 5 == 0 && (x * 3 + y) % 4 < 2) return {0, 0, 0};
    if (x > 300 && y > 200) return {230, 230, 230};
    return {255, 255, 255};
}

const std::vector<std::uint8_t> kFirst20 = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46,
                                            0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};

TEST(JpegFile, StartsWithSoiAndJfifThenTablesFrameAndScan) {
    const SourcePicture picture(20, 12, Smooth);
    cJpeg colour;
    const auto file = jpegtest::Encode(colour, picture);
    ASSERT_GE(file.size(), 20u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 20), kFirst20);
    // No comment: DQT follows APP0 directly.
    EXPECT_EQ(file[20], 0xFF);
    EXPECT_EQ(file[21], 0xDB);
    EXPECT_EQ(jpegtest::SegmentMarkers(file),
              (std::vector<std::uint8_t>{0xD8, 0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA}));
    EXPECT_EQ(file[file.size() - 2], 0xFF);
    EXPECT_EQ(file[file.size() - 1], 0xD9);

    const long sof = jpegtest::FindMarker(file, 0xC0);
    const std::vector<std::uint8_t> expectedSof = {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 12,   0x00, 20,  0x03,
                                                   0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + sof, file.begin() + sof + 19), expectedSof);
    const long sos = jpegtest::FindMarker(file, 0xDA);
    const std::vector<std::uint8_t> expectedSos = {0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00,
                                                   0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + sos, file.begin() + sos + 14), expectedSos);
    // Each DQT holds one 8-bit table: length 67, the q95 luminance table first.
    const long dqt = jpegtest::FindMarker(file, 0xDB);
    EXPECT_EQ(file[dqt + 3], 67);
    EXPECT_EQ(file[dqt + 4], 0);
    EXPECT_EQ(file[dqt + 5], 2);
    EXPECT_EQ(file[dqt + 69 + 4], 1);  // second table in slot 1
}

TEST(JpegFile, GreyEncoderWritesOneTableSetAndOneScan) {
    const SourcePicture picture(1, 1, [](int, int) { return Rgb{200, 10, 10}; });
    cJpeg grey;
    grey.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    const auto file = jpegtest::Encode(grey, picture);
    EXPECT_EQ(jpegtest::SegmentMarkers(file),
              (std::vector<std::uint8_t>{0xD8, 0xE0, 0xDB, 0xC0, 0xC4, 0xC4, 0xDA}));
    const long sof = jpegtest::FindMarker(file, 0xC0);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + sof, file.begin() + sof + 13),
              (std::vector<std::uint8_t>{0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01,
                                         0x11, 0x00}));
    const long sos = jpegtest::FindMarker(file, 0xDA);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + sos, file.begin() + sos + 10),
              (std::vector<std::uint8_t>{0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00}));
}

TEST(JpegFile, CommentSegmentSitsBetweenApp0AndDqt) {
    const SourcePicture picture(8, 8, Smooth);
    cJpeg encoder;
    encoder.Comment("abc");
    const auto file = jpegtest::Encode(encoder, picture);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 20, file.begin() + 27),
              (std::vector<std::uint8_t>{0xFF, 0xFE, 0x00, 0x05, 0x61, 0x62, 0x63}));
    EXPECT_EQ(file[27], 0xFF);
    EXPECT_EQ(file[28], 0xDB);

    // 65534 characters pass the setter but no longer fit the segment length.
    encoder.Comment(std::string(65534, 'x'));
    try {
        encoder.EncodeToMemory();
        ADD_FAILURE() << "no overflow";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

TEST(JpegFile, SaveFileResultsAndNeverTouchesAnExistingFile) {
    const std::string dir = jpegtest::TempFolder();
    const SourcePicture picture(17, 9, ScreenLike);
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 17, 9, 0, 0), 0);

    EXPECT_EQ(encoder.SaveFile(""), 1);

    { std::ofstream(dir + "taken.jpg", std::ios::binary) << "keep me"; }
    EXPECT_EQ(encoder.SaveFile(dir + "taken.jpg"), 2);
    const auto kept = jpegtest::ReadFile(dir + "taken.jpg");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");

    // A dangling link is a name in use too: writing through it would create a file elsewhere.
    std::filesystem::create_symlink(dir + "nowhere.jpg", dir + "link.jpg");
    EXPECT_EQ(encoder.SaveFile(dir + "link.jpg"), 2);
    EXPECT_FALSE(std::filesystem::exists(dir + "nowhere.jpg"));

    // Saving twice gives identical files, equal to the in-memory encoding.
    EXPECT_EQ(encoder.SaveFile(dir + "a.jpg"), 0);
    EXPECT_EQ(encoder.SaveFile(dir + "b.jpg"), 0);
    const auto a = jpegtest::ReadFile(dir + "a.jpg");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, jpegtest::ReadFile(dir + "b.jpg"));
    EXPECT_EQ(a, encoder.EncodeToMemory());
    std::filesystem::remove_all(dir);
}

TEST(JpegFile, FailuresRaiseAndCreateNoFile) {
    const std::string dir = jpegtest::TempFolder();
    cJpeg fresh;
    try {
        fresh.SaveFile(dir + "unsampled.jpg");
        ADD_FAILURE() << "saved without a picture";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "unsampled.jpg"));

    const SourcePicture picture(8, 8, Smooth);
    ASSERT_EQ(fresh.SampleHDC(picture.Handles(), picture.Dc(), 8, 8, 0, 0), 0);
    try {
        fresh.SaveFile(dir + "no/such/folder.jpg");
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 76);
        EXPECT_EQ(e.Description(), "Path not found");
    }
    // A frame wider than 65535 does not fit SOF0.
    const SourcePicture wide(65536, 1, Smooth);
    cJpeg wideEncoder;
    ASSERT_EQ(wideEncoder.SampleHDC(wide.Handles(), wide.Dc(), 65536, 1, 0, 0), 0);
    try {
        wideEncoder.SaveFile(dir + "wide.jpg");
        ADD_FAILURE() << "wrote a frame too wide for its header";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "wide.jpg"));

    // Changing the sampling factors drops the sampled picture.
    fresh.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    EXPECT_THROW(fresh.SaveFile(dir + "dropped.jpg"), jpeg::JpegError);
    EXPECT_FALSE(std::filesystem::exists(dir + "dropped.jpg"));
    std::filesystem::remove_all(dir);
}

TEST(JpegFile, BytesDoNotDependOnTheThreadCount) {
    // Large enough for the scan to be coded in parts too.
    const SourcePicture picture(1283, 1021, ScreenLike);
    std::vector<std::uint8_t> first;
    for (const int threads : {1, 2, 3, 7}) {
        cJpeg encoder;
        encoder.SetThreadCount(threads);
        const auto file = jpegtest::Encode(encoder, picture);
        if (first.empty()) {
            first = file;
        } else {
            EXPECT_EQ(file, first) << threads << " threads";
        }
    }
}

// A file of several megabytes goes to disk a megabyte at a time, the
// buffer used again after each; the file holds the bytes assembled whole in
// memory, and may be written again under another name.
TEST(JpegFile, FilesWrittenAsTheyAreMadeHoldTheBytesMadeInMemory) {
    const std::string dir = jpegtest::TempFolder();
    const SourcePicture noise(1200, 1000, [](int x, int y) {
        const auto n = static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u);
        return Rgb{static_cast<std::uint8_t>(n >> 3), static_cast<std::uint8_t>(n >> 11),
                   static_cast<std::uint8_t>(n >> 19)};
    });
    for (const int threads : {1, 2, 3}) {
        cJpeg encoder;
        encoder.Quality(100);
        encoder.SetThreadCount(threads);
        const auto inMemory = jpegtest::Encode(encoder, noise);
        ASSERT_GT(inMemory.size(), 3u << 20);
        for (const char* name : {"first.jpg", "second.jpg"}) {
            const std::string path = dir + std::to_string(threads) + name;
            ASSERT_EQ(encoder.SaveFile(path), 0);
            EXPECT_EQ(jpegtest::ReadFile(path), inMemory) << threads << " threads, " << name;
        }
    }
    std::filesystem::remove_all(dir);
}

// The AVX2 block transform writes exactly the baseline form's bytes.
TEST(JpegFile, VectorFormsGiveIdenticalFiles) {
    if (!jpeg::Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor";
    const SourcePicture picture(301, 203, Smooth);
    cJpeg encoder;
    const auto fast = jpegtest::Encode(encoder, picture);
    encoder.UseVectorInstructions(false);
    const auto baseline = jpegtest::Encode(encoder, picture);
    EXPECT_EQ(fast, baseline);
}

// Grey and subsampled encoders too: the statistics are counted, and the
// scans coded, in parts on several threads, and the bytes stay those of one.
TEST(JpegFile, GreyAndSubsampledBytesDoNotDependOnTheThreadCount) {
    const SourcePicture picture(1283, 1021, ScreenLike);
    for (const bool grey : {false, true}) {
        std::vector<std::uint8_t> first;
        for (const int threads : {1, 3}) {
            cJpeg encoder;
            encoder.SetThreadCount(threads);
            if (grey) {
                encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
            } else {
                encoder.SetSamplingFrequencies(4, 3, 1, 1, 1, 1);  // Y in a scan of its own
            }
            const auto file = jpegtest::Encode(encoder, picture);
            if (first.empty()) {
                first = file;
            } else {
                EXPECT_EQ(file, first) << (grey ? "grey" : "subsampled");
            }
        }
    }
}

struct RoundTrip {
    int width, height;
    int h1, v1, h2, v2, h3, v3;
};

class JpegRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// A real decoder reads the file back with the right size and little error.
TEST_P(JpegRoundTrip, DecodesCloseToTheSource) {
    if (!jpegtest::HaveDecoder()) GTEST_SKIP() << "built without libjpeg";
    const RoundTrip p = GetParam();
    const SourcePicture picture(p.width, p.height, Smooth);
    cJpeg encoder;
    encoder.SetSamplingFrequencies(p.h1, p.v1, p.h2, p.v2, p.h3, p.v3);
    const auto file = jpegtest::Encode(encoder, picture);
    const jpegtest::Decoded decoded = jpegtest::Decode(file);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.width, p.width);
    EXPECT_EQ(decoded.height, p.height);
    EXPECT_EQ(decoded.components, p.h2 == 0 ? 1 : 3);
    const bool subsampled = p.h2 != 0 && (p.h1 != p.h2 || p.v1 != p.v2 || p.h1 != p.h3 || p.v1 != p.v3);
    // Subsampling the busy blue channel costs some dB (about 39 for 4 x 3).
    EXPECT_GE(jpegtest::Psnr(picture, decoded), subsampled ? 36.0 : 45.0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegRoundTrip,
    ::testing::Values(RoundTrip{1, 1, 1, 1, 1, 1, 1, 1}, RoundTrip{7, 9, 1, 1, 1, 1, 1, 1},
                      RoundTrip{8, 8, 1, 1, 1, 1, 1, 1}, RoundTrip{17, 9, 1, 1, 1, 1, 1, 1},
                      RoundTrip{640, 480, 1, 1, 1, 1, 1, 1}, RoundTrip{256, 256, 1, 1, 0, 0, 0, 0},
                      RoundTrip{17, 9, 2, 2, 1, 1, 1, 1}, RoundTrip{20, 12, 2, 2, 1, 1, 1, 1},
                      RoundTrip{61, 47, 2, 1, 1, 1, 1, 1}, RoundTrip{45, 37, 4, 3, 1, 1, 1, 1},
                      RoundTrip{45, 37, 1, 1, 2, 2, 1, 2}, RoundTrip{8, 64, 4, 1, 2, 1, 2, 1}));

TEST(JpegFile, SmoothPictureAtQuality95ReachesFortyDecibels) {
    if (!jpegtest::HaveDecoder()) GTEST_SKIP() << "built without libjpeg";
    const SourcePicture picture(256, 256, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                   static_cast<std::uint8_t>((x + y) / 2)};
    });
    cJpeg encoder;
    const jpegtest::Decoded decoded = jpegtest::Decode(jpegtest::Encode(encoder, picture));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_GE(jpegtest::Psnr(picture, decoded), 40.0);
}

// jpegtran -optimize finds no shorter code for the encoder's own statistics.
TEST(JpegFile, HuffmanTablesAreAlreadyOptimal) {
    const char* jpegtran = "/usr/bin/jpegtran";
    if (!std::filesystem::exists(jpegtran)) GTEST_SKIP() << "no jpegtran";
    const std::string dir = jpegtest::TempFolder();
    const SourcePicture picture(400, 300, ScreenLike);
    for (const bool subsampled : {false, true}) {
        cJpeg encoder;
        if (subsampled) encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
        ASSERT_EQ(encoder.SampleHDC(picture.Handles(), picture.Dc(), 400, 300, 0, 0), 0);
        const std::string in = dir + (subsampled ? "in22.jpg" : "in11.jpg");
        const std::string out = dir + "out.jpg";
        std::filesystem::remove(out);
        ASSERT_EQ(encoder.SaveFile(in), 0);
        const std::string command = std::string(jpegtran) + " -optimize -outfile '" + out + "' '" + in + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(std::filesystem::file_size(out), std::filesystem::file_size(in))
            << "subsampled " << subsampled;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
