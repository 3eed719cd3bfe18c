// Forward DCT and quantisation.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "jpeg/JpegDct.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegTables.h"
#include "jpeg/cJpeg.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

jpeg::QuantTable TableOf(int value) {
    jpeg::QuantTable table;
    table.values.fill(static_cast<std::uint16_t>(value));
    jpeg::ComputeMultipliers(table, 8);
    return table;
}

TEST(JpegDct, MatchesTheTextbookTransformUpToItsScaling) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> sample(-128.0f, 127.0f);
    float block[64];
    for (float& v : block) v = sample(random);
    double exact[64];
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            double sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    sum += block[y * 8 + x] * std::cos((2 * y + 1) * u * kPi / 16) *
                           std::cos((2 * x + 1) * v * kPi / 16);
                }
            }
            const double cu = u == 0 ? std::sqrt(0.5) : 1.0, cv = v == 0 ? std::sqrt(0.5) : 1.0;
            exact[u * 8 + v] = 0.25 * cu * cv * sum;
        }
    }
    jpeg::ForwardDct(block);
    // Output (u, v) = coefficient * 8 s_u s_v, and r_k = 1 / (2 sqrt 2 s_k).
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            const double descaled = block[u * 8 + v] * jpeg::kDctScale[u] * jpeg::kDctScale[v];
            EXPECT_NEAR(descaled, exact[u * 8 + v], 1e-3) << u << "," << v;
        }
    }
}

TEST(JpegDct, FlatBlockGivesOnlyTheDcCoefficient) {
    float block[64];
    std::fill(block, block + 64, 10.0f);
    jpeg::ForwardDct(block);
    EXPECT_NEAR(block[0], 640.0f, 1e-3);
    for (int i = 1; i < 64; ++i) EXPECT_NEAR(block[i], 0.0f, 1e-3) << i;

    // White (127 after the level shift) with all table values 1: DC 8 * 127.
    std::fill(block, block + 64, 127.0f);
    std::int16_t out[64];
    ASSERT_TRUE(jpeg::TransformBlock(block, jpeg::MakeQuantPlan(TableOf(1)), out));
    EXPECT_EQ(out[0], 1016);
    for (int i = 1; i < 64; ++i) EXPECT_EQ(out[i], 0) << i;

    // 8 * 10 / 16 = 5; 8 * 3 / 16 = 1.5 rounds to 2.
    std::fill(block, block + 64, 10.0f);
    ASSERT_TRUE(jpeg::TransformBlock(block, jpeg::MakeQuantPlan(TableOf(16)), out));
    EXPECT_EQ(out[0], 5);
    std::fill(block, block + 64, 3.0f);
    ASSERT_TRUE(jpeg::TransformBlock(block, jpeg::MakeQuantPlan(TableOf(16)), out));
    EXPECT_EQ(out[0], 2);
}

TEST(JpegDct, QuantiserRoundsHalfToEvenAndChecksTheRange) {
    jpeg::QuantTable unit;
    unit.multipliers.fill(1.0f);
    float block[64] = {};
    block[0] = 2.5f;   // zigzag 0
    block[1] = 3.5f;   // zigzag 1
    block[8] = -2.5f;  // zigzag 2
    block[9] = -0.5f;  // zigzag 4
    block[63] = 32767.4f;
    std::int16_t out[64];
    jpeg::Quantise(block, unit, out);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 4);
    EXPECT_EQ(out[2], -2);
    EXPECT_EQ(out[4], 0);
    EXPECT_EQ(out[63], 32767);

    block[63] = 32767.5f;  // rounds to 32768
    try {
        jpeg::Quantise(block, unit, out);
        ADD_FAILURE() << "no overflow";
    } catch (const jpeg::JpegError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

// The vectorised path gives exactly the bytes of the step-by-step definition.
TEST(JpegDct, FastTransformEqualsDctThenQuantise) {
    cJpeg encoder;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const int quality : {95, 50, 100, 7}) {
        encoder.Quality(quality);
        const jpeg::QuantPlan plan = jpeg::MakeQuantPlan(encoder.State().quant[0]);
        for (int n = 0; n < 2000; ++n) {
            float a[64], b[64];
            const int smooth = n % 3;  // mix noise with smoother blocks
            for (int i = 0; i < 64; ++i) {
                const int v = smooth == 0 ? byte(random) : (i % 8) * 16 + (i / 8) * smooth;
                a[i] = b[i] = static_cast<float>(v) - 128.0f;
            }
            std::int16_t fast[64], reference[64];
            ASSERT_TRUE(jpeg::TransformBlock(a, plan, fast));
            jpeg::ForwardDct(b);
            jpeg::Quantise(b, encoder.State().quant[0], reference);
            ASSERT_EQ(std::vector<std::int16_t>(fast, fast + 64),
                      std::vector<std::int16_t>(reference, reference + 64))
                << "quality " << quality << " block " << n;
        }
    }
}

// The shortcut for one-colour blocks gives exactly the full transform's bytes,
// for every sample value the colour conversion can produce.
TEST(JpegDct, FlatBlockShortcutEqualsTheFullTransform) {
    cJpeg encoder;
    for (const int quality : {95, 100, 50, 1}) {
        encoder.Quality(quality);
        for (const int slot : {0, 1}) {
            const jpeg::QuantPlan plan = jpeg::MakeQuantPlan(encoder.State().quant[slot]);
            for (int step = 0; step <= 5120; ++step) {
                const float sample = -128.0f + step * 0.05f + (step % 7) * 0.0013f;
                float block[64];
                std::fill(block, block + 64, sample);
                std::int16_t full[64], flat[64];
                ASSERT_TRUE(jpeg::TransformBlock(block, plan, full));
                ASSERT_TRUE(jpeg::TransformFlatBlock(sample, plan, flat));
                ASSERT_EQ(std::vector<std::int16_t>(full, full + 64),
                          std::vector<std::int16_t>(flat, flat + 64))
                    << "sample " << sample << " quality " << quality;
            }
        }
    }
}

TEST(JpegDct, MultipliersRejectValuesOutsideTheRange) {
    for (const int bad : {0, 256}) {
        jpeg::QuantTable table;
        table.values.fill(4);
        table.values[jpeg::kZigzag[3 * 8 + 2]] = static_cast<std::uint16_t>(bad);  // row 3, column 2
        try {
            jpeg::ComputeMultipliers(table, 8);
            ADD_FAILURE() << bad;
        } catch (const jpeg::JpegError& e) {
            EXPECT_EQ(e.Number(), 1);
            EXPECT_EQ(e.Description(), "Bad Quantization Table");
        }
        // Columns 0 and 1 were done before the failing value, column 3 was not.
        EXPECT_NE(table.multipliers[jpeg::kZigzag[7 * 8 + 1]], 0.0f);
        EXPECT_EQ(table.multipliers[jpeg::kZigzag[0 * 8 + 3]], 0.0f);
    }
    jpeg::QuantTable wide;
    wide.values.fill(1000);
    EXPECT_NO_THROW(jpeg::ComputeMultipliers(wide, 12));
}

}  // namespace
