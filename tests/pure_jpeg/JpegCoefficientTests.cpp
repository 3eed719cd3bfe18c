// The compact coefficient store: what goes in comes out, block by block and
// through a cursor that crosses block rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "jpeg/JpegCoefficients.h"

namespace {

// Blocks that exercise the format's edges: all zero, one colour, every
// coefficient set, the last position only, the extremes of 16 bits.
std::vector<std::int16_t> Blocks() {
    std::vector<std::int16_t> all;
    const auto add = [&all](auto&& make) {
        for (int k = 0; k < 64; ++k) all.push_back(static_cast<std::int16_t>(make(k)));
    };
    add([](int) { return 0; });
    add([](int k) { return k == 0 ? -1016 : 0; });
    add([](int k) { return k % 2 == 0 ? k + 1 : -k; });
    add([](int k) { return k == 63 ? -1 : 0; });
    add([](int k) { return k == 0 ? 32767 : k == 1 ? -32768 : k == 17 ? 255 : k == 40 ? -256 : 0; });
    add([](int k) { return k == 16 || k == 33 ? 3 : 0; });
    return all;
}

TEST(JpegCoefficients, DenseBlocksComeBackAsTheyWentIn) {
    const std::vector<std::int16_t> dense = Blocks();
    for (const int perRow : {1, 2, 3, 6}) {
        jpeg::CoefficientStore store;
        store.AssignDense(dense, perRow);
        EXPECT_EQ(store.Blocks(), 6u / perRow * perRow) << perRow;
        const std::vector<std::int16_t> back = store.Dense();
        EXPECT_TRUE(std::equal(back.begin(), back.end(), dense.begin())) << perRow;
    }
}

TEST(JpegCoefficients, CursorReadsEveryBlockInRowOrderFromAnyStart) {
    const std::vector<std::int16_t> dense = Blocks();
    jpeg::CoefficientStore store;
    store.AssignDense(dense, 2);  // three rows of two blocks
    for (std::size_t start = 0; start < 6; ++start) {
        jpeg::BlockCursor cursor(store, start);
        for (std::size_t i = start; i < 6; ++i, cursor.Next()) {
            const jpeg::CompactBlock block(cursor.Get());
            const std::int16_t* expected = dense.data() + 64 * i;
            EXPECT_EQ(block.Dc(), expected[0]) << start << " " << i;
            int nonZero = 0;
            for (int k = 1; k < 64; ++k) nonZero += expected[k] != 0;
            ASSERT_EQ(block.AcCount(), nonZero) << start << " " << i;
            for (int a = 0; a < block.AcCount(); ++a) {
                EXPECT_EQ(block.AcValue(a), expected[block.AcPosition(a)]) << start << " " << i;
                if (a > 0) {
                    EXPECT_GT(block.AcPosition(a), block.AcPosition(a - 1));
                }
            }
        }
    }
    // A block of one colour takes three bytes.
    EXPECT_EQ(jpeg::CompactBlock(store.Row(0)).End() - store.Row(0), 3);
}

}  // namespace
