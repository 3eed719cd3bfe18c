#include "imaging/BmpWriter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Parallel.h"

namespace imaging {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre96Dpi = 3780;
// Bytes per thread below which more threads cost more than they save.
constexpr std::size_t kMinBytesPerPart = std::size_t{1} << 20;

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::size_t Bmp24RowBytes(int width) {
    return (static_cast<std::size_t>(std::max(width, 0)) * 3 + 3) & ~std::size_t{3};
}

std::uint64_t Bmp24FileBytes(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    const std::uint64_t bytes =
        kBmp24HeaderBytes + std::uint64_t{Bmp24RowBytes(width)} * static_cast<std::uint64_t>(height);
    return bytes > 0xFFFFFFFFu ? 0 : bytes;
}

std::array<std::uint8_t, kBmp24HeaderBytes> Bmp24Headers(int width, int height) {
    const auto imageBytes =
        static_cast<std::uint32_t>(Bmp24RowBytes(width) * static_cast<std::size_t>(std::max(height, 0)));
    std::array<std::uint8_t, kBmp24HeaderBytes> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], kFileHeaderSize + kInfoHeaderSize + imageBytes);  // bfSize
    Put32(&h[10], kFileHeaderSize + kInfoHeaderSize);              // bfOffBits
    std::uint8_t* info = &h[kFileHeaderSize];
    Put32(&info[0], kInfoHeaderSize);
    Put32(&info[4], static_cast<std::uint32_t>(width));
    Put32(&info[8], static_cast<std::uint32_t>(height));  // positive: bottom-up
    Put16(&info[12], 1);                                  // planes
    Put16(&info[14], 24);                                 // bits per pixel
    Put32(&info[16], 0);                                  // BI_RGB
    Put32(&info[20], imageBytes);
    Put32(&info[24], kPixelsPerMetre96Dpi);
    Put32(&info[28], kPixelsPerMetre96Dpi);
    return h;
}

void PutBmp24Rows(const Rgb32View& pixels, int firstRow, int endRow, std::span<std::uint8_t> out) {
    const std::size_t rowBytes = Bmp24RowBytes(pixels.width);
    const std::size_t pixelBytes = static_cast<std::size_t>(pixels.width) * 3;
    std::uint8_t* row = out.data();
    for (int r = firstRow; r < endRow; ++r, row += rowBytes) {
        const int y = pixels.height - 1 - r;  // the first stored row is the bottom one
        const auto* src = reinterpret_cast<const std::uint32_t*>(pixels.base + pixels.stride * y);
        std::uint8_t* dst = row;
        for (int x = 0; x < pixels.width; ++x, dst += 3) {
            const std::uint32_t pixel = src[x];  // 0xAARRGGBB
            dst[0] = static_cast<std::uint8_t>(pixel);
            dst[1] = static_cast<std::uint8_t>(pixel >> 8);
            dst[2] = static_cast<std::uint8_t>(pixel >> 16);
        }
        std::memset(row + pixelBytes, 0, rowBytes - pixelBytes);
    }
}

bool PutBmp24File(const RowSource& source, std::span<std::uint8_t> out) {
    const int width = source.Width();
    const int height = source.Height();
    const std::uint64_t fileBytes = Bmp24FileBytes(width, height);
    if (fileBytes == 0 || out.size() != fileBytes) return false;
    const auto headers = Bmp24Headers(width, height);
    std::memcpy(out.data(), headers.data(), headers.size());
    const std::size_t rowBytes = Bmp24RowBytes(width);
    const std::span<std::uint8_t> stored = out.subspan(kBmp24HeaderBytes);
    const auto wanted = static_cast<long long>(stored.size() / kMinBytesPerPart);
    const int parts = static_cast<int>(std::clamp<long long>(wanted, 1, core::AutomaticThreadCount()));
    // Each part reads its picture rows in slices of about a megabyte.
    const int sliceRows =
        static_cast<int>(std::max<std::size_t>(1, kMinBytesPerPart / (std::size_t{4} * width)));
    core::RunParts(parts, [&](int p) {
        const auto begin = static_cast<int>(core::PartBegin(height, parts, p));
        const auto end = static_cast<int>(core::PartBegin(height, parts, p + 1));
        std::vector<std::uint8_t> slice;
        for (int r = begin; r < end; r += sliceRows) {
            // Stored rows r.. are picture rows counted from the bottom.
            const int n = std::min(sliceRows, end - r);
            const int top = height - r - n;
            slice.resize(std::size_t{4} * static_cast<std::size_t>(width) * static_cast<std::size_t>(n));
            const std::ptrdiff_t stride = std::ptrdiff_t{4} * width;
            source.ReadRows(top, n, slice.data(), stride);
            const Rgb32View view{slice.data(), width, n, stride};
            // The slice's stored rows, bottom first, are its rows 0.. of PutBmp24Rows.
            PutBmp24Rows(view, 0, n, stored.subspan(static_cast<std::size_t>(r) * rowBytes));
        }
    });
    return true;
}

bool PutBmp24File(const Rgb32View& pixels, std::span<std::uint8_t> out) {
    const std::uint64_t fileBytes = Bmp24FileBytes(pixels.width, pixels.height);
    if (pixels.base == nullptr || fileBytes == 0 || out.size() != fileBytes) return false;
    const auto headers = Bmp24Headers(pixels.width, pixels.height);
    std::memcpy(out.data(), headers.data(), headers.size());
    const std::size_t rowBytes = Bmp24RowBytes(pixels.width);
    const std::span<std::uint8_t> rows = out.subspan(kBmp24HeaderBytes);
    const auto wanted = static_cast<long long>(rows.size() / kMinBytesPerPart);
    const int parts = static_cast<int>(std::clamp<long long>(wanted, 1, core::AutomaticThreadCount()));
    core::RunParts(parts, [&](int p) {
        const auto begin = static_cast<int>(core::PartBegin(pixels.height, parts, p));
        const auto end = static_cast<int>(core::PartBegin(pixels.height, parts, p + 1));
        PutBmp24Rows(pixels, begin, end, rows.subspan(static_cast<std::size_t>(begin) * rowBytes));
    });
    return true;
}

}  // namespace imaging
