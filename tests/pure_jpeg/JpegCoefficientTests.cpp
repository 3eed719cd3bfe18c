// The compact coefficient store: what goes in comes out, block by block and
// through a cursor that crosses block rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
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
    add([](int k) {
        return k == 0 ? 32767 : k == 1 ? -32768 : k == 17 ? 127 : k == 20 ? -128 : k == 40 ? 128 : 0;
    });
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
            std::vector<std::pair<int, int>> stored, wanted;
            block.ForEachAc([&stored](int k, int v) { stored.emplace_back(k, v); });
            for (int k = 1; k < 64; ++k) {
                if (expected[k] != 0) wanted.emplace_back(k, expected[k]);
            }
            EXPECT_EQ(stored, wanted) << start << " " << i;
        }
    }
    // A block of one colour takes three bytes; values of one byte take two
    // with their position, larger ones three.
    EXPECT_EQ(jpeg::CompactBlock(store.Row(0)).End() - store.Row(0), 3);
    const std::uint8_t* extremes = store.Row(2);
    EXPECT_EQ(jpeg::CompactBlock(extremes).End() - extremes, 3 + 3 + 2 + 2 + 3);
}

}  // namespace
