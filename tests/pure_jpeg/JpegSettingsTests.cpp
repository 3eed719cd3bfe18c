// Encoder object: defaults, quality tables, sampling factors, comment, and
// the errors they raise.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "jpeg/JpegError.h"
#include "jpeg/JpegTables.h"
#include "jpeg/cJpeg.h"

namespace {

std::vector<int> First16(const jpeg::QuantTable& table) {
    return {table.values.begin(), table.values.begin() + 16};
}

// Expects the call to raise error `number` with `description`.
template <class F>
void ExpectError(F&& call, int number, const std::string& description) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << description;
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Description(), description);
    }
}

TEST(JpegSettings, NewEncoderHasQuality95AndThreeUnsubsampledComponents) {
    const cJpeg encoder;
    EXPECT_EQ(encoder.Quality(), 95);
    ASSERT_EQ(encoder.State().components.size(), 3u);
    for (const jpeg::Component& c : encoder.State().components) {
        EXPECT_EQ(c.h, 1);
        EXPECT_EQ(c.v, 1);
    }
    EXPECT_EQ(encoder.State().components[0].quantSelector, 0);
    EXPECT_EQ(encoder.State().components[2].quantSelector, 1);
    EXPECT_EQ(encoder.Comment(), "");
}

TEST(JpegSettings, ZigzagWalksTheAntiDiagonals) {
    const std::vector<int> row1 = {2, 4, 7, 13, 16, 26, 29, 42};
    const std::vector<int> row7 = {35, 36, 48, 49, 57, 58, 62, 63};
    EXPECT_EQ(std::vector<int>(jpeg::kZigzag.begin() + 8, jpeg::kZigzag.begin() + 16), row1);
    EXPECT_EQ(std::vector<int>(jpeg::kZigzag.begin() + 56, jpeg::kZigzag.end()), row7);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(jpeg::kNatural[jpeg::kZigzag[i]], i);
}

TEST(JpegSettings, QualityTablesRoundHalfToEven) {
    cJpeg encoder;
    const auto& slots = encoder.State().quant;
    EXPECT_EQ(First16(slots[0]), (std::vector<int>{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 4}));
    EXPECT_EQ(First16(slots[1]), (std::vector<int>{2, 2, 2, 3, 3, 3, 5, 3, 3, 5, 10, 7, 6, 7, 10, 10}));

    encoder.Quality(50);  // odd base values become one larger
    EXPECT_EQ(First16(slots[0]),
              (std::vector<int>{16, 12, 12, 14, 12, 10, 16, 14, 14, 14, 18, 18, 16, 20, 24, 40}));

    encoder.Quality(40);  // s = 125: 20.5 -> 20, 15.5 -> 16
    EXPECT_EQ(First16(slots[0]),
              (std::vector<int>{20, 14, 16, 18, 16, 13, 20, 18, 17, 18, 23, 22, 20, 24, 30, 50}));

    encoder.Quality(16);  // s = 312 (312.5 to even); 313 would give 51
    EXPECT_EQ(slots[0].values[0], 50);
    encoder.Quality(9);  // s = 556; 555 would give 88
    EXPECT_EQ(slots[0].values[0], 89);
    encoder.Quality(3);  // s = 1667; 1666 would give 200 for base 12
    EXPECT_EQ(slots[0].values[2], 201);
    EXPECT_EQ(slots[0].values[63], 255);  // clamped

    encoder.Quality(100);
    EXPECT_TRUE(std::all_of(slots[0].values.begin(), slots[0].values.end(), [](int v) { return v == 1; }));
    encoder.Quality(1);
    EXPECT_TRUE(std::all_of(slots[1].values.begin(), slots[1].values.end(), [](int v) { return v == 255; }));
}

TEST(JpegSettings, OutOfRangeQualityIsIgnoredSilently) {
    cJpeg encoder;
    encoder.Quality(60);
    const jpeg::QuantTable before = encoder.State().quant[0];
    encoder.Quality(0);
    encoder.Quality(101);
    encoder.Quality(-5);
    EXPECT_EQ(encoder.Quality(), 60);
    EXPECT_EQ(encoder.State().quant[0].values, before.values);
    EXPECT_EQ(encoder.State().quant[0].multipliers, before.multipliers);
}

TEST(JpegSettings, QualityRecomputesTheMultipliers) {
    cJpeg encoder;
    encoder.Quality(100);
    const auto& m = encoder.State().quant[0].multipliers;
    // (r0 * r0) / 1 = 1/8 at the DC position; r7 * r7 at the last.
    EXPECT_FLOAT_EQ(m[0], 0.125f);
    EXPECT_FLOAT_EQ(m[63], static_cast<float>(jpeg::kDctScale[7] * jpeg::kDctScale[7]));
    encoder.Quality(50);
    EXPECT_FLOAT_EQ(m[0], static_cast<float>(0.125 / 16));
}

TEST(JpegSettings, SamplingFactorsAreCheckedAndSetTheComponents) {
    cJpeg encoder;
    encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    EXPECT_EQ(encoder.State().components.size(), 3u);
    EXPECT_EQ(encoder.State().hmax, 2);
    EXPECT_EQ(encoder.State().vmax, 2);

    encoder.SetSamplingFrequencies(3, 3, 0, 0, 0, 0);  // grey: factors checked, not used
    ASSERT_EQ(encoder.State().components.size(), 1u);
    EXPECT_EQ(encoder.State().components[0].h, 1);
    EXPECT_EQ(encoder.State().components[0].v, 1);
    EXPECT_EQ(encoder.State().hmax, 1);

    encoder.SetSamplingFrequencies(4, 3, 1, 2, 1, 1);
    const auto invalid = "Invalid Sampling Value";
    ExpectError([&] { encoder.SetSamplingFrequencies(5, 1, 0, 0, 0, 0); }, 1, invalid);
    ExpectError([&] { encoder.SetSamplingFrequencies(1, 1, 0, 1, 0, 0); }, 1, invalid);
    ExpectError([&] { encoder.SetSamplingFrequencies(1, 0, 1, 1, 1, 1); }, 1, invalid);
    ExpectError([&] { encoder.SetSamplingFrequencies(1, 1, 1, 1, 1, 5); }, 1, invalid);
    // A failed call keeps the components it found.
    ASSERT_EQ(encoder.State().components.size(), 3u);
    EXPECT_EQ(encoder.State().components[0].h, 4);
    EXPECT_EQ(encoder.State().components[1].v, 2);
    EXPECT_EQ(encoder.State().vmax, 3);
}

TEST(JpegSettings, CommentIsLimitedTo65535Characters) {
    cJpeg encoder;
    encoder.Comment("abc");
    encoder.Comment(std::string(65535, 'y'));
    EXPECT_EQ(encoder.Comment().size(), 65535u);
    ExpectError([&] { encoder.Comment(std::string(65536, 'z')); }, 1, "Illegal Comment Length");
    EXPECT_EQ(encoder.Comment().size(), 65535u);
}

}  // namespace
