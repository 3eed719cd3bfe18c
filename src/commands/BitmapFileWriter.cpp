#include "commands/BitmapFileWriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace commands {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The two headers of a bottom-up 24-bit BI_RGB bitmap.
std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> Headers(int width, int height,
                                                                    std::uint32_t imageBytes) {
    std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> h{};
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
    Put32(&info[24], 3780);  // 96 DPI in pixels per metre
    Put32(&info[28], 3780);
    return h;
}

bool WritePixels(core::FileSink& out, const QImage& rgb32) {
    const int width = rgb32.width();
    const int height = rgb32.height();
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t rowsPerChunk = std::max<std::size_t>(1, kChunkBytes / rowBytes);
    std::vector<std::uint8_t> chunk(rowsPerChunk * rowBytes, 0);
    std::size_t filled = 0;
    for (int y = height - 1; y >= 0; --y) {  // the file's first row is the bottom one
        const auto* src = reinterpret_cast<const std::uint32_t*>(rgb32.constScanLine(y));
        std::uint8_t* dst = chunk.data() + filled;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = src[x];  // 0xAARRGGBB
            dst[0] = static_cast<std::uint8_t>(pixel);
            dst[1] = static_cast<std::uint8_t>(pixel >> 8);
            dst[2] = static_cast<std::uint8_t>(pixel >> 16);
            dst += 3;
        }
        filled += rowBytes;  // the padding bytes stay 0
        if (filled == chunk.size() || y == 0) {
            if (!out.Write(chunk.data(), filled)) return false;
            filled = 0;
        }
    }
    return true;
}

}  // namespace

bool WriteBitmapFile(const QImage& picture, const QString& path, FileWriteMode mode) {
    if (picture.isNull() || path.isEmpty()) return false;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(picture.width()) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t imageBytes = rowBytes * static_cast<std::uint64_t>(picture.height());
    if (imageBytes + kFileHeaderSize + kInfoHeaderSize > 0xFFFFFFFFu) return false;  // no BMP holds it

    // Refer to the picture rather than copy it: a copy would share the
    // caller's buffer, and the canvas's next stroke would then detach it.
    const QImage* rgb32 = &picture;
    QImage converted;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        converted = picture.convertToFormat(QImage::Format_RGB32);
        if (converted.isNull()) return false;
        rgb32 = &converted;
    }

    const auto headers = Headers(rgb32->width(), rgb32->height(), static_cast<std::uint32_t>(imageBytes));
    return core::WriteFileAtomically(QFile::encodeName(path).toStdString(), mode, [&](core::FileSink& out) {
               return out.Write(headers.data(), headers.size()) && WritePixels(out, *rgb32);
           }) == 0;
}

}  // namespace commands
