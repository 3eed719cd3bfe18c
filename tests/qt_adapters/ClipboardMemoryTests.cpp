// What the clipboard hands another program: the PNG of the picture of the
// moment it was put there, whatever was compressed ahead before and however
// the picture's source changed meanwhile, and each format encoded once.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QThreadPool>

#include "imaging/PngWriter.h"
#include "platform/qt/PictureClipboard.h"

namespace {

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray FreshPng(const QImage& picture) {
    const imaging::Rgb32View view{picture.constBits(), picture.width(), picture.height(),
                                  picture.bytesPerLine()};
    const std::vector<std::uint8_t> png = imaging::EncodePng(view);
    return QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
}

QByteArray ReadPng() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr ? data->data(QStringLiteral("image/png")) : QByteArray();
}

TEST(PngAhead, EveryReadGivesTheBytesOfAFreshWriteWhateverWasPreparedBefore) {
    const platform::ClipboardPublisher publisher;
    const QImage opened = Filled(900, 700, 0xFF204060);
    QImage stroked = opened.copy();
    QPainter(&stroked).fillRect(100, 300, 400, 6, Qt::yellow);
    const QImage other = Filled(640, 480, 0xFF806040);

    // Prepared and finished, prepared and still running or superseded, and
    // a read of a picture other than the one prepared.
    publisher.PreparePngAhead(platform::ImageSource(opened));
    QThreadPool::globalInstance()->waitForDone();
    publisher.Put(platform::ImageSource(opened), platform::ClipboardUse::Copy);
    EXPECT_EQ(ReadPng(), FreshPng(opened));
    publisher.PreparePngAhead(platform::ImageSource(other));
    publisher.PreparePngAhead(platform::ImageSource(stroked));
    publisher.Put(platform::ImageSource(stroked), platform::ClipboardUse::UndoSnapshot);
    EXPECT_EQ(ReadPng(), FreshPng(stroked));
    publisher.Put(platform::ImageSource(other), platform::ClipboardUse::Copy);
    EXPECT_EQ(ReadPng(), FreshPng(other));
    QThreadPool::globalInstance()->waitForDone();
    publisher.Put(platform::ImageSource(opened), platform::ClipboardUse::Copy);
    EXPECT_EQ(ReadPng(), FreshPng(opened));
}

TEST(PngAhead, EachFormatIsEncodedOnceAndAheadForTheReaderToCome) {
    const platform::ClipboardPublisher publisher;
    const QImage picture = Filled(320, 200, 0xFF112233);
    publisher.Put(platform::ImageSource(picture), platform::ClipboardUse::Copy);
    const platform::PictureMimeData* own = platform::OwnClipboardPicture();
    ASSERT_NE(own, nullptr);
    own->EncodePngAhead();
    EXPECT_EQ(own->Encodings(), 1);
    EXPECT_EQ(ReadPng(), FreshPng(picture));
    EXPECT_EQ(ReadPng(), FreshPng(picture));
    EXPECT_EQ(own->Encodings(), 1);
    EXPECT_EQ(
        QImage::fromData(own->data(QStringLiteral("image/bmp")), "BMP").convertToFormat(QImage::Format_RGB32),
        picture);
    EXPECT_EQ(own->Encodings(), 2);
}

}  // namespace
