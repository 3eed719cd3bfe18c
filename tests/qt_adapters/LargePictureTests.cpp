// Large pictures take the fast paths: the loader decodes big bitmaps into
// memory of its own, MakeStdPicture converts 32-bit images straight into the
// DIB section. Both must give exactly the pixels of the plain routes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>

#include "platform/qt/LargeImage.h"
#include "platform/qt/PictureLoader.h"
#include "platform/qt/StdPictureFromQImage.h"
#include "raster/gdi.h"

namespace {

// Noise, so that any misplaced or dropped byte shows; 1203 wide pads rows.
// Format_RGB32 or Format_Indexed8 (random indices into 256 random colours).
QImage Noise(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    QRandomGenerator random(1234);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> table(256);
        for (QRgb& c : table) c = random.generate() | 0xFF000000u;
        image.setColorTable(table);
    }
    for (int y = 0; y < h; ++y) {
        if (format == QImage::Format_Indexed8) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < w; ++x) line[x] = static_cast<uchar>(random.generate());
        } else {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) line[x] = random.generate() | 0xFF000000u;
        }
    }
    return image;
}

}  // namespace

TEST(LargePicture, MakeStdPictureOfRgb32HasTheBytesOfTheBgrConversion) {
    for (const QSize size : {QSize(1203, 1001), QSize(7, 5)}) {
        const QImage source = Noise(size.width(), size.height(), QImage::Format_RGB32);
        const StdPicture picture = MakeStdPicture(source);
        ASSERT_FALSE(picture.Empty());
        gdi::BITMAP bm{};
        ASSERT_EQ(gdi::GetObjectA(picture.Handles(), picture.Handle(), sizeof bm, &bm),
                  static_cast<int>(sizeof bm));
        ASSERT_EQ(bm.bmBitsPixel, 24);
        const QImage bgr = source.convertToFormat(QImage::Format_BGR888);
        const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* row =
                bits + static_cast<std::ptrdiff_t>(source.height() - 1 - y) * bm.bmWidthBytes;
            ASSERT_EQ(std::memcmp(row, bgr.constScanLine(y), static_cast<std::size_t>(source.width()) * 3), 0)
                << "row " << y;
        }
    }
}

TEST(LargePicture, LoaderGivesLargeBitmapsAsQtsReaderDoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 24-bit and 8-bit bitmaps of more than 4 MB once decoded.
    const struct {
        QImage::Format format;
        QSize size;
    } cases[] = {{QImage::Format_RGB32, {1203, 1001}}, {QImage::Format_Indexed8, {2101, 2003}}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("big%1.bmp").arg(static_cast<int>(c.format)));
        ASSERT_TRUE(QImageWriter(path, "bmp").write(Noise(c.size.width(), c.size.height(), c.format)));
        const QImage expected = QImageReader(path).read();
        ASSERT_FALSE(expected.isNull());
        QImage loaded = LoadPictureFile(path);
        ASSERT_EQ(loaded.format(), expected.format()) << c.format;
        ASSERT_EQ(loaded, expected) << c.format;  // size, colour table and every pixel
        // The pixel memory lives as long as any copy of the image.
        const QImage copy = loaded;
        loaded = QImage();
        EXPECT_EQ(copy, expected) << c.format;
    }
}

TEST(LargePicture, NewLargeImageHasTheSizeFormatAndZeroedPixels) {
    const QImage image = platform::NewLargeImage(QSize(1500, 1000), QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(1500, 1000));
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.bytesPerLine(), 6000);
    for (qsizetype i = 0; i < image.sizeInBytes(); i += 4093) ASSERT_EQ(image.constBits()[i], 0) << i;
    EXPECT_TRUE(platform::NewLargeImage(QSize(0, 5), QImage::Format_RGB32).isNull());
    EXPECT_TRUE(platform::NewLargeImage(QSize(5, 5), QImage::Format_Invalid).isNull());
}

// The loader's own reading of 24-bit bitmaps, from files and from bytes: the
// pixels and resolution of Qt's reader for every row padding, bottom-up and
// top-down rows; a file short of its rows gives no picture.
TEST(LargePicture, PlainBitmapsReadAsQtsReaderReadsThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QSize size :
         {QSize(1, 1), QSize(2, 3), QSize(3, 2), QSize(5, 7), QSize(37, 29), QSize(640, 3)}) {
        QImage noise = Noise(size.width(), size.height(), QImage::Format_RGB32);
        noise.setDotsPerMeterX(3780);
        noise.setDotsPerMeterY(2835);
        QByteArray bottomUp;
        QBuffer buffer(&bottomUp);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && noise.save(&buffer, "BMP"));
        ASSERT_EQ(qFromLittleEndian<quint16>(bottomUp.constData() + 28), 24);
        // The same rows stored top-down: the height negated, the rows reversed.
        QByteArray topDown = bottomUp;
        const qint32 offset = qFromLittleEndian<qint32>(bottomUp.constData() + 10);
        const qsizetype rowBytes = (qsizetype{size.width()} * 3 + 3) / 4 * 4;
        qToLittleEndian<qint32>(-size.height(), topDown.data() + 22);
        for (int y = 0; y < size.height(); ++y)
            std::memcpy(topDown.data() + offset + y * rowBytes,
                        bottomUp.constData() + offset + (size.height() - 1 - y) * rowBytes, rowBytes);
        const QImage expected = QImage::fromData(bottomUp, "BMP");
        for (const QByteArray& file : {bottomUp, topDown}) {
            const QImage fromBytes = platform::DecodePictureData(file);
            EXPECT_EQ(fromBytes, expected) << size.width() << "x" << size.height();
            EXPECT_EQ(fromBytes.dotsPerMeterX(), 3780);
            EXPECT_EQ(fromBytes.dotsPerMeterY(), 2835);
            const QString path = dir.filePath(QStringLiteral("plain.bmp"));
            QFile out(path);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(file);
            out.close();
            EXPECT_EQ(platform::DecodePictureFile(path), expected) << size.width() << "x" << size.height();
        }
    }
    // Cut to less than half its rows: refused, as Qt's route refuses it.
    QByteArray big;
    QBuffer buffer(&big);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) &&
                Noise(300, 200, QImage::Format_RGB32).save(&buffer, "BMP"));
    EXPECT_TRUE(platform::DecodePictureData(big.left(big.size() / 3)).isNull());
}
