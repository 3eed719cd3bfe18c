// Large copies between separate bitmaps are split into bands of rows copied
// on several threads, and large DIB sections come straight from the system:
// the pixels must be exactly those of a single pass over zeroed memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pure_raster/RasterTestSupport.h"

using namespace gdi;
using rastertest::Handles;
using rastertest::Surface;

namespace {

// 1203 x 1201 pixels: 4.3 MB at 24 bits, above the size where copies are
// banded, and rows that need padding.
constexpr int kW = 1203;
constexpr int kH = 1201;

// Every pixel of dst at (x + dx, y + dy) is src's at (x + sx, y + sy) inside
// the w x h block and black (untouched new memory) outside it.
void ExpectBlock(const Surface& dst, const Surface& src, int dx, int dy, int sx, int sy, int w, int h) {
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
            const std::uint32_t expected = inside ? src.Get(x - dx + sx, y - dy + sy) : 0u;
            ASSERT_EQ(dst.Get(x, y), expected) << x << "," << y;
            if (dst.bitCount == 32) {
                ASSERT_EQ(dst.Row(y)[x * 4 + 3], 0) << x << "," << y;
            }
        }
    }
}

}  // namespace

TEST(RasterLargeBlit, WholeAndPartialCopiesBetweenDepthsAndRowOrders) {
    for (const int srcBpp : {24, 32}) {
        for (const int dstBpp : {24, 32}) {
            Surface src(kW, kH, srcBpp);
            ASSERT_NE(src.bits, nullptr);
            src.Fill();
            // Same row order (one block of memory when the depths agree) and opposite order.
            for (const int dstHeight : {kH, -kH}) {
                Surface whole(kW, dstHeight, dstBpp);
                ASSERT_TRUE(BitBlt(Handles(), whole.hdc(), 0, 0, kW, kH, src.hdc(), 0, 0, SRCCOPY));
                ExpectBlock(whole, src, 0, 0, 0, 0, kW, kH);

                Surface part(kW, dstHeight, dstBpp);
                ASSERT_TRUE(BitBlt(Handles(), part.hdc(), 5, 7, kW - 10, kH - 20, src.hdc(), 3, 2, SRCCOPY));
                ExpectBlock(part, src, 5, 7, 3, 2, kW - 10, kH - 20);
            }
        }
    }
}

TEST(RasterLargeBlit, NewLargeDibSectionsAreBlack) {
    Surface big(2000, 1500, 32);  // 12 MB
    ASSERT_NE(big.bits, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(big.bits);
    for (std::size_t i = 0; i < std::size_t{2000} * 1500 * 4; i += 997) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes[std::size_t{2000} * 1500 * 4 - 1], 0);
}

TEST(RasterLargeBlit, WrappedMemoryKeepsItsFourthByte) {
    // Wrapped 32-bit memory reads its fourth byte as alpha (0xFF); a DIB
    // section's fourth byte is 0. Both directions of a large copy convert it.
    std::vector<std::uint32_t> memory(static_cast<std::size_t>(kW) * kH);
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint32_t>(i * 2654435761u);
    BITMAPINFOHEADER header{40, kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    UniqueBitmap wrapped(Handles(), WrapDIBits(Handles(), header, memory.data(), kW * 4));
    ASSERT_TRUE(wrapped);
    UniqueDC dc(Handles(), CreateCompatibleDC(Handles(), 0));
    SelectionGuard selected(Handles(), dc.get(), wrapped.get());

    Surface dib(kW, kH, 32);
    ASSERT_TRUE(BitBlt(Handles(), dib.hdc(), 0, 0, kW, kH, dc.get(), 0, 0, SRCCOPY));
    for (int y = 0; y < kH; y += 7) {
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t v = memory[static_cast<std::size_t>(y) * kW + x];
            ASSERT_EQ(dib.Get(x, y), v & 0xFFFFFFu) << x << "," << y;
            ASSERT_EQ(dib.Row(y)[x * 4 + 3], 0);
        }
    }
    dib.Fill();
    ASSERT_TRUE(BitBlt(Handles(), dc.get(), 0, 0, kW, kH, dib.hdc(), 0, 0, SRCCOPY));
    for (int y = 0; y < kH; y += 7) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(memory[static_cast<std::size_t>(y) * kW + x], 0xFF000000u | Surface::Pattern(x, y));
        }
    }
}

TEST(RasterLargeBlit, BitmapsOverTheSameMemoryCopyAsOneMove) {
    // Two bitmaps over one block of memory, one row apart: copying the lower
    // onto the upper moves every row up by one, as if row by row from the top.
    std::vector<std::uint32_t> memory(static_cast<std::size_t>(kW) * (kH + 1));
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = 0xFF000000u | static_cast<std::uint32_t>(i);
    const std::vector<std::uint32_t> before = memory;
    BITMAPINFOHEADER header{40, kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    UniqueBitmap upper(Handles(), WrapDIBits(Handles(), header, memory.data(), kW * 4));
    UniqueBitmap lower(Handles(), WrapDIBits(Handles(), header, memory.data() + kW, kW * 4));
    UniqueDC upperDc(Handles(), CreateCompatibleDC(Handles(), 0)),
        lowerDc(Handles(), CreateCompatibleDC(Handles(), 0));
    SelectionGuard a(Handles(), upperDc.get(), upper.get()), b(Handles(), lowerDc.get(), lower.get());
    ASSERT_TRUE(a.ok() && b.ok());
    ASSERT_TRUE(BitBlt(Handles(), upperDc.get(), 0, 0, kW, kH, lowerDc.get(), 0, 0, SRCCOPY));
    for (std::size_t i = 0; i < static_cast<std::size_t>(kW) * kH; ++i)
        ASSERT_EQ(memory[i], before[i + kW]) << i;
}
