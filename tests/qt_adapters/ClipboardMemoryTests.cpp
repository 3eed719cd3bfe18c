// What the clipboard's PNG writer keeps between pictures: the one pixel buffer
// kept for the canvas's next copy (only memory nothing else refers to, and the
// picture the writer no longer compares against), and the compression done
// ahead on a pool thread, which must never change a byte of what is read.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QThreadPool>

#include "imaging/PngWriter.h"
#include "platform/qt/LargeImage.h"
#include "platform/qt/PictureClipboard.h"

namespace {

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage Take(const QImage& like) {
    return platform::TakeForReuse(like.size(), like.format(), like.bytesPerLine());
}

TEST(KeptForReuse, OnlyUnsharedMemoryIsKeptAndTakenOnceInTheSameShape) {
    QImage shared = Filled(64, 48, 0xFF102030);
    const QImage other = shared;
    platform::KeepForReuse(shared);
    EXPECT_TRUE(Take(other).isNull());  // still in use elsewhere: never written to

    QImage alone = Filled(64, 48, 0xFF405060);
    const uchar* bits = alone.constBits();
    platform::KeepForReuse(std::move(alone));
    const QImage taken = Take(other);
    EXPECT_EQ(taken.constBits(), bits);
    EXPECT_TRUE(Take(other).isNull());  // taken once

    platform::KeepForReuse(Filled(64, 48, 0));
    EXPECT_TRUE(Take(Filled(48, 64, 0)).isNull());  // another shape: not handed out,
    EXPECT_TRUE(Take(other).isNull());              // and not kept either
}

TEST(KeptForReuse, ThePictureThePngWriterComparedAgainstIsKeptOnceReplaced) {
    QImage first = Filled(300, 200, 0xFF336699);
    const uchar* firstBits = first.constBits();
    (void)platform::EncodeClipboardPng(first);
    first = QImage();  // now only the PNG writer's comparison holds it
    const QImage second = Filled(300, 200, 0xFF996633);
    (void)platform::EncodeClipboardPng(second);
    EXPECT_EQ(Take(second).constBits(), firstBits);
}

QByteArray FreshPng(const QImage& picture) {
    const imaging::Rgb32View view{picture.constBits(), picture.width(), picture.height(),
                                  picture.bytesPerLine()};
    const std::vector<std::uint8_t> png = imaging::EncodePng(view);
    return QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
}

TEST(PngAhead, EveryReadGivesTheBytesOfAFreshWriteWhateverWasPreparedBefore) {
    const QImage opened = Filled(900, 700, 0xFF204060);
    QImage stroked = opened.copy();
    QPainter(&stroked).fillRect(100, 300, 400, 6, Qt::yellow);
    const QImage other = Filled(640, 480, 0xFF806040);

    // Prepared and finished, prepared and still running or superseded, and
    // a read of a picture other than the one prepared.
    platform::PreparePngAhead(opened);
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(platform::EncodeClipboardPng(opened), FreshPng(opened));
    platform::PreparePngAhead(other);
    platform::PreparePngAhead(stroked);
    EXPECT_EQ(platform::EncodeClipboardPng(stroked), FreshPng(stroked));
    EXPECT_EQ(platform::EncodeClipboardPng(other), FreshPng(other));
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(platform::EncodeClipboardPng(opened), FreshPng(opened));
}

}  // namespace
