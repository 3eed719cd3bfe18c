// MakeStdPicture: a QImage copied into a 24-bit DIB section.
#include "platform/qt/StdPictureFromQImage.h"

#include <cstring>

StdPicture MakeStdPicture(const QImage& image) {
    if (image.isNull()) return {};
    // BGR888 holds blue, green, red bytes: exactly a 24-bit DIB row.
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull()) return {};
    gdi::BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(gdi::BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bgr.width();
    bmi.bmiHeader.biHeight = bgr.height();
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = gdi::BI_RGB;
    void* bits = nullptr;
    StdPicture picture(gdi::CreateDIBSection(0, &bmi, gdi::DIB_RGB_COLORS, &bits, 0, 0));
    if (picture.Empty()) return {};
    const qsizetype stride = ((qsizetype{bgr.width()} * 24 + 31) / 32) * 4;
    const std::size_t rowBytes = static_cast<std::size_t>(bgr.width()) * 3;
    auto* out = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < bgr.height(); ++y) {
        // Bottom-up: the picture's top row is the last row in memory.
        std::memcpy(out + (bgr.height() - 1 - y) * stride, bgr.constScanLine(y), rowBytes);
    }
    return picture;
}
