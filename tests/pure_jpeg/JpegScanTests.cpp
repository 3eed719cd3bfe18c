// Scan grouping, MCU order with dummy blocks, and the bit writer.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "jpeg/JpegBlockOrder.h"
#include "jpeg/JpegOutput.h"

namespace {

// The plain bit-at-a-time writer the fast one must match.
class ReferenceWriter {
  public:
    void Write(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if ((value >> i) & 1u) acc_ |= mask_;
            if (mask_ == 1) {
                Store();
            } else {
                mask_ >>= 1;
            }
        }
    }
    void Flush() {
        if (mask_ != 128) Write(0xFFu, std::countr_zero(static_cast<unsigned>(mask_)) + 1);
    }
    std::vector<std::uint8_t> bytes;

  private:
    void Store() {
        bytes.push_back(static_cast<std::uint8_t>(acc_));
        if (acc_ == 0xFF) bytes.push_back(0);
        acc_ = 0;
        mask_ = 128;
    }
    int acc_ = 0;
    int mask_ = 128;
};

std::vector<std::uint8_t> WriteBits(const std::vector<std::pair<std::uint32_t, int>>& codes) {
    jpeg::OutputBuffer out(4);
    jpeg::BitWriter writer(out);
    for (const auto& [value, count] : codes) {
        writer.Reserve();
        writer.Write(value, count);
    }
    writer.Flush();
    const jpeg::ByteArray bytes = out.Release();
    return {bytes.begin(), bytes.end()};
}

TEST(JpegBitWriter, PadsWithOnesAndStuffsEveryFF) {
    // Ends on a byte boundary: no flush byte.
    EXPECT_EQ(WriteBits({{0xA5, 8}}), (std::vector<std::uint8_t>{0xA5}));
    // 3 bits 010 + five 1-bits of padding.
    EXPECT_EQ(WriteBits({{0x2, 3}}), (std::vector<std::uint8_t>{0x5F}));
    // A completed 0xFF inside the data.
    EXPECT_EQ(WriteBits({{0xFF, 8}, {0x01, 8}}), (std::vector<std::uint8_t>{0xFF, 0x00, 0x01}));
    // The flush byte itself becomes 0xFF and is stuffed too.
    EXPECT_EQ(WriteBits({{0x7F, 7}}), (std::vector<std::uint8_t>{0xFF, 0x00}));
    EXPECT_EQ(WriteBits({}), (std::vector<std::uint8_t>{}));
}

TEST(JpegBitWriter, MatchesTheBitAtATimeWriter) {
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::pair<std::uint32_t, int>> codes;
        ReferenceWriter reference;
        const int n = 1 + round * 50;
        for (int i = 0; i < n; ++i) {
            const int count = std::uniform_int_distribution<int>(0, 32)(random);
            std::uint32_t value = count == 0 ? 0 : static_cast<std::uint32_t>(random()) >> (32 - count);
            if (round % 4 == 1 && count > 0)
                value = static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1);
            codes.emplace_back(value, count);
            reference.Write(value, count);
        }
        reference.Flush();
        ASSERT_EQ(WriteBits(codes), reference.bytes) << "round " << round;
    }
}

// Parts written raw on their own and joined afterwards give the bytes of one
// writer, whatever the split points.
TEST(JpegBitWriter, JoinedRawPartsEqualOneWriter) {
    std::mt19937 random(9);
    std::vector<std::pair<std::uint32_t, int>> codes;
    for (int i = 0; i < 20000; ++i) {
        const int count = std::uniform_int_distribution<int>(1, 27)(random);
        // Many ones, so 0xFF bytes occur often, also across part boundaries.
        const std::uint32_t value = (static_cast<std::uint32_t>(random()) | 0x5F5F5F5Fu) >> (32 - count);
        codes.emplace_back(value, count);
    }
    const std::vector<std::uint8_t> expected = WriteBits(codes);
    for (const std::size_t split : {std::size_t{1}, std::size_t{7}, std::size_t{9999}, std::size_t{19998}}) {
        jpeg::OutputBuffer out(16);
        jpeg::BitWriter joined(out);
        for (const auto& [from, to] :
             {std::pair<std::size_t, std::size_t>{0, split}, {split, codes.size()}}) {
            jpeg::OutputBuffer part(8);
            jpeg::RawBitWriter raw(part);
            for (std::size_t i = from; i < to; ++i) {
                raw.Reserve();
                raw.Write(codes[i].first, codes[i].second);
            }
            std::uint64_t tail = 0;
            int bits = 0;
            raw.TakeTail(tail, bits);
            joined.Append(part.Data(), part.Position(), tail, bits);
        }
        joined.Flush();
        const jpeg::ByteArray bytes = out.Release();
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected) << "split at " << split;
    }
}

jpeg::EncoderState Frame(int width, int height, std::vector<std::pair<int, int>> factors) {
    jpeg::EncoderState state;
    state.width = width;
    state.height = height;
    for (const auto& [h, v] : factors) {
        jpeg::Component c;
        c.h = h;
        c.v = v;
        state.hmax = std::max(state.hmax, h);
        state.vmax = std::max(state.vmax, v);
        state.components.push_back(c);
    }
    for (jpeg::Component& c : state.components) {
        const int cw = (c.h * width + state.hmax - 1) / state.hmax;
        const int ch = (c.v * height + state.vmax - 1) / state.vmax;
        const std::vector<std::int16_t> zeros(static_cast<std::size_t>((cw + 7) / 8 * 8) * ((ch + 7) / 8 * 8),
                                              0);
        c.coefficients.AssignDense(zeros, (cw + 7) / 8);
    }
    return state;
}

TEST(JpegScanOrder, ComponentsShareAScanBelowElevenBlocksPerMcu) {
    using Scans = std::vector<std::vector<int>>;
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{1, 1}, {1, 1}, {1, 1}})), (Scans{{0, 1, 2}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{1, 1}})), (Scans{{0}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{2, 2}, {1, 1}, {1, 1}})), (Scans{{0, 1, 2}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{4, 3}, {1, 1}, {1, 1}})), (Scans{{0}, {1, 2}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{3, 3}, {2, 1}, {1, 1}})), (Scans{{0}, {1, 2}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{2, 2}, {2, 2}, {2, 2}})), (Scans{{0, 1}, {2}}));
    EXPECT_EQ(jpeg::GroupScans(Frame(8, 8, {{4, 4}, {4, 4}, {1, 1}})), (Scans{{0}, {1}, {2}}));
}

// Visit order as (component, block index), -1 for a dummy block.
std::vector<std::pair<int, int>> Walk(const jpeg::EncoderState& state, const std::vector<int>& scan) {
    std::vector<std::pair<int, int>> order;
    jpeg::WalkInterleaved(state, scan, [&](int s, const std::uint8_t* block, std::int64_t index) {
        EXPECT_EQ(block == nullptr, index == -1);
        order.emplace_back(s, static_cast<int>(index));
    });
    return order;
}

TEST(JpegScanOrder, InterleavedScanWalksMcusWithDummyBlocks) {
    using Order = std::vector<std::pair<int, int>>;
    // 20 x 12, no subsampling: 3 x 2 MCUs of one block per component.
    const auto plain = Walk(Frame(20, 12, {{1, 1}, {1, 1}, {1, 1}}), {0, 1, 2});
    ASSERT_EQ(plain.size(), 18u);
    EXPECT_EQ(plain[3], (std::pair<int, int>{0, 1}));
    EXPECT_EQ(plain[17], (std::pair<int, int>{2, 5}));

    // 20 x 12 with Y 2 x 2: MCUs of 16 x 16, 2 x 1 of them. Y has 3 x 2 blocks,
    // so the right half of the second MCU's Y blocks are dummies.
    EXPECT_EQ(Walk(Frame(20, 12, {{2, 2}, {1, 1}, {1, 1}}), {0, 1, 2}), (Order{{0, 0},
                                                                               {0, 1},
                                                                               {0, 3},
                                                                               {0, 4},
                                                                               {1, 0},
                                                                               {2, 0},
                                                                               {0, 2},
                                                                               {0, -1},
                                                                               {0, 5},
                                                                               {0, -1},
                                                                               {1, 1},
                                                                               {2, 1}}));

    // 17 x 9 with Y 2 x 2: Y 24 x 16 (3 x 2 blocks), chroma 9 x 5 (2 x 1 blocks).
    const auto small = Frame(17, 9, {{2, 2}, {1, 1}, {1, 1}});
    EXPECT_EQ(small.components[0].coefficients.Blocks(), 6u);
    EXPECT_EQ(small.components[1].coefficients.Blocks(), 2u);

    // Dummy rows at the bottom: Y 1 x 2 over 8 x 20 gives 3 block rows, MCUs of 8 x 16.
    EXPECT_EQ(Walk(Frame(8, 20, {{1, 2}, {1, 1}}), {0, 1}),
              (Order{{0, 0}, {0, 1}, {1, 0}, {0, 2}, {0, -1}, {1, 1}}));
}

}  // namespace
