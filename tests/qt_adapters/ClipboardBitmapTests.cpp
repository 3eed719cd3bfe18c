// The clipboard's bitmap is the very file a bitmap save writes, whatever the
// row padding and however many threads convert the rows.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

#include "commands/BitmapFileWriter.h"
#include "imaging/BmpWriter.h"
#include "platform/qt/PictureClipboard.h"

namespace {

QImage Gradient(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = qRgba(x * 7, y * 5, (x + y) * 3, (x * y) & 0xFF);
    }
    return image;
}

TEST(ClipboardBitmap, IsTheSavedFileAndDecodesToThePicture) {
    struct Case {
        int width, height;
        QImage::Format format;
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Widths 1 to 4 give every row padding; 700 x 600 is converted in parts.
    for (const Case c : {Case{1, 3, QImage::Format_RGB32}, Case{2, 2, QImage::Format_ARGB32},
                         Case{3, 5, QImage::Format_RGB32}, Case{4, 1, QImage::Format_RGB32},
                         Case{700, 600, QImage::Format_ARGB32}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const QImage picture = Gradient(c.width, c.height, c.format);
        const QString path = folder.filePath(QStringLiteral("%1x%2.bmp").arg(c.width).arg(c.height));
        ASSERT_TRUE(commands::WriteBitmapFile(picture, path, commands::FileWriteMode::NewFileOnly));
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QByteArray bmp = platform::EncodeClipboardBmp(picture);
        EXPECT_EQ(bmp, saved.readAll());
        EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32),
                  picture.convertToFormat(QImage::Format_RGB32));
    }
}

TEST(ClipboardBitmap, AnOutputOfAnotherSizeIsRefused) {
    const QImage picture = Gradient(5, 4, QImage::Format_RGB32);
    const imaging::Rgb32View view{picture.constBits(), 5, 4, picture.bytesPerLine()};
    std::vector<std::uint8_t> out(imaging::Bmp24FileBytes(5, 4) - 1);
    EXPECT_FALSE(imaging::PutBmp24File(view, out));
    EXPECT_EQ(imaging::Bmp24FileBytes(0, 4), 0u);
    EXPECT_EQ(imaging::Bmp24FileBytes(40000, 40000), 0u);  // over 4 GiB: no bitmap holds it
}

}  // namespace
