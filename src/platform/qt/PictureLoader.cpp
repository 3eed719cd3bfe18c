#include "platform/qt/PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <limits>
#include <span>

#include "platform/qt/JpegDecoder.h"
#include "platform/qt/LargeImage.h"
#include "platform/qt/PendingPicture.h"
#include "platform/wmf/WmfPicture.h"

namespace platform {

bool PictureSizeAllowed(QSize size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
           size.height() <= kMaxPictureSide && qint64{size.width()} * size.height() * 4 <= kMaxPictureBytes;
}

QImage PictureWithinLimits(QImage picture) {
    if (picture.isNull() || !PictureSizeAllowed(picture.size())) return {};
    return picture;
}

}  // namespace platform

namespace {

// The fewest bytes a file of this kind can hold when its pixel data really
// fills the picture its header announces, or 0 when the kind allows no such
// bound (run-length bitmaps, GIF, JPEG and TIFF can describe large even
// areas in a few bytes).
//  - An uncompressed bitmap stores every row, padded to 4 bytes. A cut-off
//    file is refused once less than half its pixel data is there: Qt would
//    show the missing part black, and a few kilobytes must not cost a
//    gigabyte of memory.
//  - PNG pixel rows are deflated, which packs at most 1032 bytes into one.
qint64 LeastBytesForPixelData(const QByteArray& head, const QByteArray& format) {
    const auto u16le = [&](int at) { return qFromLittleEndian<quint16>(head.constData() + at); };
    const auto u32le = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    const auto i32le = [&](int at) { return qFromLittleEndian<qint32>(head.constData() + at); };
    const auto u32be = [&](int at) { return qFromBigEndian<quint32>(head.constData() + at); };
    if (format == "bmp" && head.size() >= 34 && head.startsWith("BM")) {
        const quint32 offset = u32le(10);
        const quint32 headerSize = u32le(14);
        qint64 width = 0;
        qint64 height = 0;
        int bits = 0;
        quint32 compression = 0;
        if (headerSize == 12) {
            width = u16le(18);
            height = u16le(20);
            bits = u16le(24);
        } else if (headerSize >= 40) {
            width = i32le(18);
            height = i32le(22);
            bits = u16le(28);
            compression = u32le(30);
        } else {
            return 0;
        }
        // BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS: one stored value per pixel.
        if (compression != 0 && compression != 3 && compression != 6) return 0;
        if (width <= 0 || bits <= 0 || bits > 32) return 0;
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        const qint64 pixelBytes = rowBytes * (height < 0 ? -height : height);
        return offset + pixelBytes / 2;
    }
    if (format == "png" && head.size() >= 29 && head.mid(12, 4) == "IHDR") {
        const qint64 width = u32be(16);
        const qint64 height = u32be(20);
        const int depth = static_cast<unsigned char>(head[24]);
        int channels = 0;
        switch (static_cast<unsigned char>(head[25])) {
            case 0:  // grey
            case 3:  // palette
                channels = 1;
                break;
            case 4:  // grey and alpha
                channels = 2;
                break;
            case 2:  // RGB
                channels = 3;
                break;
            case 6:  // RGB and alpha
                channels = 4;
                break;
            default:
                return 0;
        }
        // One filter byte per row; interlaced pictures store a little more.
        const qint64 filtered = ((width * depth * channels + 7) / 8 + 1) * height;
        return filtered / 1032;
    }
    return 0;
}

// A 24-bit uncompressed bitmap, the kind this program writes itself (saves,
// the scratch picture for the external program), read straight from the
// file's bytes into the canvas's RGB32: the same pixels and resolution Qt's
// reader gives, without its row-by-row reads. Null for any other kind, and
// for a file shorter than its rows, which Qt's reader then judges.
QImage ReadPlainBitmap(std::span<const uchar> file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return {};
    const auto u16le = [&](std::size_t at) { return qFromLittleEndian<quint16>(file.data() + at); };
    const auto u32le = [&](std::size_t at) { return qFromLittleEndian<quint32>(file.data() + at); };
    const auto i32le = [&](std::size_t at) { return qFromLittleEndian<qint32>(file.data() + at); };
    const quint32 offset = u32le(10);
    const quint32 headerSize = u32le(14);
    const qint32 width = i32le(18);
    const qint32 height = i32le(22);
    if (headerSize < 40 || u16le(26) != 1 || u16le(28) != 24 || u32le(30) != 0) return {};
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min()) return {};
    const QSize size(width, height < 0 ? -height : height);
    if (!platform::PictureSizeAllowed(size)) return {};
    const std::size_t rowBytes = (std::size_t{static_cast<quint32>(width)} * 3 + 3) / 4 * 4;
    const std::size_t rows = static_cast<std::size_t>(size.height());
    if (offset < 14 + headerSize || offset > file.size() || (file.size() - offset) / rowBytes < rows)
        return {};
    QImage picture = platform::NewLargeImage(size, QImage::Format_RGB32);
    if (picture.isNull()) return {};
    for (std::size_t y = 0; y < rows; ++y) {
        // Bottom-up unless the height is negative.
        const std::size_t stored = height > 0 ? rows - 1 - y : y;
        const uchar* in = file.data() + offset + stored * rowBytes;
        auto* out = reinterpret_cast<quint32*>(picture.scanLine(static_cast<int>(y)));
        for (qint32 x = 0; x < width; ++x, in += 3) {
            out[x] = 0xFF000000u | quint32{in[2]} << 16 | quint32{in[1]} << 8 | in[0];
        }
    }
    if (const qint32 xPerMeter = i32le(38); xPerMeter > 0) picture.setDotsPerMeterX(xPerMeter);
    if (const qint32 yPerMeter = i32le(42); yPerMeter > 0) picture.setDotsPerMeterY(yPerMeter);
    return picture;
}

std::span<const std::byte> BytesOf(const QByteArray& bytes) {
    return std::as_bytes(std::span(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Reads a picture other than a JPEG from `device`, which holds `available`
// bytes.
QImage ReadPicture(QIODevice& device, qint64 available) {
    const QByteArray head = device.peek(64);  // before the reader moves on
    QImageReader reader(&device);
    reader.setAutoTransform(false);
    // Refuse what cannot be held: the reader checks its allocation against
    // this limit before decoding, and the size check catches a header that
    // promises more than the limits before any pixel memory is taken.
    reader.setAllocationLimit(static_cast<int>(platform::kMaxPictureBytes / (1024 * 1024)));
    if (!reader.canRead()) return {};
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (size.isValid() && !platform::PictureSizeAllowed(size)) return {};
    // A file far shorter than its pixel data is damaged or made to cost
    // memory: refused before the picture is allocated (the header is read
    // here, as the reader tells no size for some bitmaps, top-down ones).
    if (available < LeastBytesForPixelData(head, format)) return {};
    // A large picture is decoded into memory in huge pages: the bitmap and
    // PNG readers fill an image of the size and format they announced (for a
    // screenshot, the canvas's own RGB32) instead of allocating one of their
    // own, so the decoded rows land where the canvas will show them.
    QImage picture;
    static const QList<QByteArray> kFillsGivenImage{"bmp", "png"};
    if (size.isValid() && kFillsGivenImage.contains(format))
        picture = platform::NewLargeImage(size, reader.imageFormat());
    if (!reader.read(&picture)) return {};
    return platform::PictureWithinLimits(std::move(picture));
}

}  // namespace

namespace platform {

QImage DecodePictureFile(const QString& path, const std::atomic<bool>* cancel) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isReadable()) return {};
    // Qt reads no metafiles: those (told by their header) go to the program's own player.
    if (auto metafile = wmf::TryLoadWindowsMetafileFile(path)) return *metafile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    if (IsJpeg(BytesOf(file.peek(2)))) {
        // The whole file in memory: the decoder reads it without a copy per
        // block, and another program shortening the file meanwhile cannot
        // pull it away from under the decoder.
        if (file.size() > kMaxPictureBytes) return {};
        return DecodeJpeg(BytesOf(file.readAll()), cancel);
    }
    if (file.peek(2) == "BM" && file.size() <= kMaxPictureBytes) {
        // Mapped, not read: the rows go from the page cache into the picture.
        if (const uchar* mapped = file.map(0, file.size())) {
            QImage picture = ReadPlainBitmap({mapped, static_cast<std::size_t>(file.size())});
            file.unmap(const_cast<uchar*>(mapped));
            if (!picture.isNull()) return picture;
        }
    }
    return ReadPicture(file, file.size());
}

QImage DecodePictureData(const QByteArray& bytes, const std::atomic<bool>* cancel) {
    if (IsJpeg(BytesOf(bytes))) return DecodeJpeg(BytesOf(bytes), cancel);
    if (QImage bitmap = ReadPlainBitmap(
            {reinterpret_cast<const uchar*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
        !bitmap.isNull())
        return bitmap;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    return ReadPicture(buffer, bytes.size());
}

}  // namespace platform

QImage LoadPictureFile(const QString& path) {
    return platform::PendingPicture::File(path).Take();
}

QImage LoadPictureData(const QByteArray& bytes) {
    return platform::PendingPicture::Data(bytes).Take();
}
