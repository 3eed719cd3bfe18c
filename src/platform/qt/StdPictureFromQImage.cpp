// MakeStdPicture: a QImage copied into a 24-bit DIB section.
#include "platform/qt/StdPictureFromQImage.h"

#include <bit>
#include <cstring>

#include "raster/GdiHandles.h"

namespace {

// A 24-bit bottom-up DIB section of w x h pixels; bits receives its memory.
StdPicture NewPicture(int w, int h, void** bits) {
    StdPicture picture;
    gdi::BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(gdi::BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = gdi::BI_RGB;
    picture.Reset(gdi::CreateDIBSection(picture.Handles(), 0, &bmi, gdi::DIB_RGB_COLORS, bits, 0, 0));
    return picture;
}

// Format_RGB32 rows are blue, green, red, 0xff bytes on a little-endian
// machine: a top-down 32-bit DIB. The raster layer converts them straight
// into the picture (on several cores for a large one), with no intermediate
// image. The image's memory is only read.
bool CopyRgb32(const QImage& image, const StdPicture& picture) {
    static_assert(std::endian::native == std::endian::little);
    gdi::BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width();
    header.biHeight = -image.height();
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = gdi::BI_RGB;
    gdi::Session& handles = picture.Handles();
    const gdi::UniqueDC sourceDc(handles, gdi::CreateCompatibleDC(handles, 0));
    const gdi::UniqueDC targetDc(handles, gdi::CreateCompatibleDC(handles, 0));
    if (!sourceDc || !targetDc) return false;
    // WrapDIBits takes writable memory; this bitmap is only ever a blit source.
    const gdi::UniqueBitmap source(
        handles,
        gdi::WrapDIBits(handles, header, const_cast<uchar*>(image.constBits()), image.bytesPerLine()));
    if (!source) return false;
    const gdi::SelectionGuard sourceSelection(handles, sourceDc.get(), source.get());
    const gdi::SelectionGuard targetSelection(handles, targetDc.get(), picture.Handle());
    if (!sourceSelection.ok() || !targetSelection.ok()) return false;
    return gdi::BitBlt(handles, targetDc.get(), 0, 0, image.width(), image.height(), sourceDc.get(), 0, 0,
                       gdi::SRCCOPY) != 0;
}

}  // namespace

StdPicture MakeStdPicture(const QImage& image) {
    if (image.isNull()) return {};
    void* bits = nullptr;
    if (image.format() == QImage::Format_RGB32) {
        StdPicture picture = NewPicture(image.width(), image.height(), &bits);
        if (picture.Empty() || !CopyRgb32(image, picture)) return {};
        return picture;
    }
    // BGR888 holds blue, green, red bytes: exactly a 24-bit DIB row.
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull()) return {};
    StdPicture picture = NewPicture(bgr.width(), bgr.height(), &bits);
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
