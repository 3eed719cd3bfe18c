// The one picture loader: formats, damaged files and the memory guard.
#include <QBuffer>
#include <QtEndian>

#include "platform/qt/PictureLoader.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

using PictureLoader = SandboxedEditorTest;

// A BMP header promising a picture of the given size (pixels not included).
QByteArray BitmapHeader(qint32 width, qint32 height) {
    QByteArray bytes(54, '\0');
    auto put32 = [&](int at, quint32 value) { qToLittleEndian(value, bytes.data() + at); };
    auto put16 = [&](int at, quint16 value) { qToLittleEndian(value, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 54 + 16);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));
    put16(26, 1);
    put16(28, 24);
    bytes.append(QByteArray(16, '\x7f'));
    return bytes;
}

TEST_F(PictureLoader, ReadsTheCommonFormats) {
    const QImage picture = Pattern(33, 17);
    for (const char* format : {"bmp", "png", "jpg", "tif"}) {
        const QString path = folder + "/p." + format;
        ASSERT_TRUE(picture.save(path, format)) << format;
        const QImage loaded = LoadPictureFile(path);
        EXPECT_EQ(loaded.size(), QSize(33, 17)) << format;
    }
    EXPECT_TRUE(SamePixels(LoadPictureFile(folder + "/p.bmp"), picture));
    // Qt writes no GIF: a 1 x 1 one by hand.
    WriteText(folder + "/p.gif",
              QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01"
                         "\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;",
                         43));
    EXPECT_EQ(LoadPictureFile(folder + "/p.gif").size(), QSize(1, 1));
}

TEST_F(PictureLoader, FailuresGiveANullPicture) {
    EXPECT_TRUE(LoadPictureFile("").isNull());
    EXPECT_TRUE(LoadPictureFile(folder + "/missing.jpg").isNull());
    EXPECT_TRUE(LoadPictureFile(folder).isNull());
    WriteText(folder + "/text.jpg", "not a picture at all");
    EXPECT_TRUE(LoadPictureFile(folder + "/text.jpg").isNull());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Pattern(200, 200).save(&buffer, "PNG");
    WriteText(folder + "/cut.png", png.left(png.size() / 3));
    const QImage cut = LoadPictureFile(folder + "/cut.png");  // partial or null, never a crash
    EXPECT_TRUE(cut.isNull() || cut.size() == QSize(200, 200));
}

TEST_F(PictureLoader, RefusesPicturesBeyondTheLimits) {
    WriteText(folder + "/wide.bmp", BitmapHeader(40000, 2));
    EXPECT_TRUE(LoadPictureFile(folder + "/wide.bmp").isNull());
    WriteText(folder + "/huge.bmp", BitmapHeader(30000, 30000));  // 3.6 GB of pixels
    EXPECT_TRUE(LoadPictureFile(folder + "/huge.bmp").isNull());
    WriteText(folder + "/negative.bmp", BitmapHeader(-5, 5));
    EXPECT_TRUE(LoadPictureFile(folder + "/negative.bmp").isNull());
}

// A bitmap whose header promises width x height at `bits` per pixel, of which
// only `pixelBytes` bytes of pixel data are present.
QByteArray CutBitmap(qint32 width, qint32 height, int bits, qint64 pixelBytes) {
    QByteArray bytes = BitmapHeader(width, height).left(54);
    qToLittleEndian(static_cast<quint16>(bits), bytes.data() + 28);
    return bytes + QByteArray(pixelBytes, '\x40');
}

quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG signature and header chunk for width x height at one bit per pixel,
// followed by `dataBytes` bytes of (cut-off) image data.
QByteArray CutPng(quint32 width, quint32 height, int dataBytes) {
    QByteArray chunk("IHDR");
    chunk.append(QByteArray(13, '\0'));
    qToBigEndian(width, chunk.data() + 4);
    qToBigEndian(height, chunk.data() + 8);
    chunk[12] = 1;  // bit depth; colour type 0 (grey)
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    QByteArray number(4, '\0');
    qToBigEndian<quint32>(13, number.data());
    bytes += number + chunk;
    qToBigEndian(Crc32(chunk), number.data());
    bytes += number;
    QByteArray data("IDAT");
    data.append(QByteArray(dataBytes, '\0'));
    qToBigEndian<quint32>(dataBytes, number.data());
    return bytes + number + data;
}

// A file far shorter than the pixel data its header announces is refused
// before its pixels are allocated (a few kilobytes claiming a gigabyte);
// slightly short ones still open as before. Files and bytes agree.
TEST_F(PictureLoader, RefusesFilesFarShorterThanTheirPixelData) {
    const struct {
        const char* name;
        QByteArray bytes;
        QSize expected;  // (0, 0): refused
    } cases[] = {
        {"at-the-limit.bmp", CutBitmap(16384, 16384, 32, 4096 - 54), QSize(0, 0)},
        {"core-limit.bmp", CutBitmap(16384, -16384, 24, 100), QSize(0, 0)},
        {"tenth.bmp", CutBitmap(100, 100, 24, 100 * 300 / 10), QSize(0, 0)},
        {"three-rows-short.bmp", CutBitmap(64, 48, 24, 64 * 3 * 45), QSize(64, 48)},
        {"whole.bmp", CutBitmap(64, 48, 8 * 4, 64 * 4 * 48), QSize(64, 48)},
        {"huge.png", CutPng(16384, 16384, 4000), QSize(0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(folder + "/" + c.name, c.bytes);
        const QImage fromFile = LoadPictureFile(folder + "/" + c.name);
        const QImage fromBytes = LoadPictureData(c.bytes);
        EXPECT_EQ(fromFile.size(), c.expected);
        EXPECT_EQ(fromBytes.size(), fromFile.size());
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Pattern(300, 200).save(&buffer, "PNG");
    EXPECT_TRUE(SamePixels(LoadPictureData(png), Pattern(300, 200)));
}

}  // namespace
