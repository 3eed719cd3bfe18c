// The one picture loader: formats, damaged files and the memory guard.
#include <QBuffer>
#include <QtEndian>

#include "editor/EditorFixture.h"
#include "platform/qt/PictureLoader.h"

using namespace editor_test;

namespace {

using PictureLoader = EditorTest;

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

}  // namespace
