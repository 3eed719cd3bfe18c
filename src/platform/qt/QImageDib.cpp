// QImageDib: zero-copy view of a Format_RGB32 QImage as a 32-bit DIB.
#include "platform/qt/QImageDib.h"

#include <bit>

// Format_RGB32 is 0xffRRGGBB in native words: blue, green, red, 0xff in
// memory only on a little-endian machine, which is what a 32-bit DIB holds.
static_assert(std::endian::native == std::endian::little, "QImageDib needs a little-endian machine");

namespace {

gdi::BITMAPINFOHEADER TopDown32(const QImage& image) {
    gdi::BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = image.width();
    header.biHeight = -image.height();  // QImage rows run top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = gdi::BI_RGB;
    return header;
}

}  // namespace

QImageDib::QImageDib(gdi::Session& session, QImage& image) : session_(session) {
    if (image.isNull()) return;
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    dc_ = gdi::UniqueDC(session_, gdi::CreateCompatibleDC(session_, 0));
    if (!dc_) return;
    // bits() detaches, so the memory is this image's own.
    bitmap_ = gdi::UniqueBitmap(
        session_, gdi::WrapDIBits(session_, TopDown32(image), image.bits(), image.bytesPerLine()));
    if (bitmap_) previous_ = gdi::SelectObject(session_, dc_.get(), bitmap_.get());
}

QImageDib::QImageDib(gdi::Session& session, const QImage& image, ReadOnly) : session_(session) {
    if (image.isNull() || image.format() != QImage::Format_RGB32) return;
    dc_ = gdi::UniqueDC(session_, gdi::CreateCompatibleDC(session_, 0));
    if (!dc_) return;
    // WrapDIBits takes writable memory; this bitmap is only ever read.
    bitmap_ = gdi::UniqueBitmap(
        session_, gdi::WrapDIBits(session_, TopDown32(image), const_cast<uchar*>(image.constBits()),
                                  image.bytesPerLine()));
    if (bitmap_) previous_ = gdi::SelectObject(session_, dc_.get(), bitmap_.get());
}

QImageDib::~QImageDib() {
    if (previous_ != 0) gdi::SelectObject(session_, dc_.get(), previous_);
}
