// Large pictures take the fast paths: the loader decodes big bitmaps into
// memory of its own, MakeStdPicture converts 32-bit images straight into the
// DIB section. Both must give exactly the pixels of the plain routes.
#include <gtest/gtest.h>

#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
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
