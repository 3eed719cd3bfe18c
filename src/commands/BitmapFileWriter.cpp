#include "commands/BitmapFileWriter.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/BmpWriter.h"

namespace commands {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// The rows go out in chunks of about a megabyte, bottom row first.
bool WritePixels(core::FileSink& out, const imaging::Rgb32View& pixels) {
    const std::size_t rowBytes = imaging::Bmp24RowBytes(pixels.width);
    const int rowsPerChunk = static_cast<int>(std::max<std::size_t>(1, kChunkBytes / rowBytes));
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(rowsPerChunk) * rowBytes);
    for (int first = 0; first < pixels.height; first += rowsPerChunk) {
        const int end = std::min(pixels.height, first + rowsPerChunk);
        imaging::PutBmp24Rows(pixels, first, end, chunk);
        if (!out.Write(chunk.data(), static_cast<std::size_t>(end - first) * rowBytes)) return false;
    }
    return true;
}

}  // namespace

bool WriteBitmapFile(const QImage& picture, const QString& path, FileWriteMode mode) {
    if (picture.isNull() || path.isEmpty()) return false;
    if (imaging::Bmp24FileBytes(picture.width(), picture.height()) == 0) return false;  // no BMP holds it

    // Refer to the picture rather than copy it: a copy would share the
    // caller's buffer, and the canvas's next stroke would then detach it.
    const QImage* rgb32 = &picture;
    QImage converted;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        converted = picture.convertToFormat(QImage::Format_RGB32);
        if (converted.isNull()) return false;
        rgb32 = &converted;
    }

    const imaging::Rgb32View pixels{rgb32->constBits(), rgb32->width(), rgb32->height(),
                                    static_cast<std::ptrdiff_t>(rgb32->bytesPerLine())};
    const auto headers = imaging::Bmp24Headers(pixels.width, pixels.height);
    return core::WriteFileAtomically(QFile::encodeName(path).toStdString(), mode, [&](core::FileSink& out) {
               return out.Write(headers.data(), headers.size()) && WritePixels(out, pixels);
           }) == 0;
}

}  // namespace commands
