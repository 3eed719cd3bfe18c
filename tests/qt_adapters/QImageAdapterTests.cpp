// The QImage adapters: a canvas image blitted on in place, and picture
// objects made from QImages for cImage.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "imaging/cImage.h"
#include "platform/qt/QImageDib.h"
#include "platform/qt/StdPictureFromQImage.h"
#include "raster/gdi.h"

using namespace gdi;

namespace {

QImage Pattern(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 20, y * 30, (x * y) % 256));
    return img;
}

}  // namespace

TEST(QImageDib, BlitsWorkOnTheImageMemoryBothWays) {
    Session session;
    QImage canvas = Pattern(20, 15);
    QImage reference(20, 15, QImage::Format_RGB32);
    reference.fill(qRgb(1, 2, 3));
    const uchar* memory = canvas.constBits();
    {
        QImageDib canvasDib(session, canvas), referenceDib(session, reference);
        ASSERT_NE(canvasDib.hdc(), 0u);
        EXPECT_EQ(canvas.constBits(), memory);  // no copy was made
        // An eraser block: 14 x 11 from the reference, top-left at (10, 8), clipped at the edges.
        EXPECT_TRUE(BitBlt(session, canvasDib.hdc(), 10, 8, 14, 11, referenceDib.hdc(), 10, 8, SRCCOPY));
        // Changes to the image after wrapping are seen by the layer too.
        canvas.setPixel(0, 0, qRgb(200, 100, 50));
        cImage copy;
        ASSERT_TRUE(copy.CopyHDC(session, canvasDib.hdc(), 20, 15, 24, 0, 0));
        const auto* top = static_cast<const std::uint8_t*>(copy.DIBitsPtr()) + 14 * copy.BytesPerScanLine();
        EXPECT_EQ(top[0], 50);
        EXPECT_EQ(top[2], 200);
    }
    EXPECT_EQ(session.LiveHandleCount(), 0u);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) {
            const QRgb expected = (x >= 10 && y >= 8) ? qRgb(1, 2, 3) : Pattern(20, 15).pixel(x, y);
            if (x == 0 && y == 0) continue;
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(QImageDib, PixelsWrittenByTheLayerStayOpaque) {
    QImage canvas(4, 1, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    cImage img;
    ASSERT_TRUE(img.Create(4, 1, 24));  // black
    {
        Session session;
        QImageDib dib(session, canvas);
        img.PaintHDC(session, dib.hdc(), 0, 0, SRCCOPY);
    }
    const QImage argb = canvas.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(argb.pixel(2, 0), qRgba(0, 0, 0, 255));
}

TEST(QImageDib, OtherFormatsAreConvertedAndNullImagesGiveNoDC) {
    Session session;
    QImage argb = Pattern(3, 3, QImage::Format_ARGB32_Premultiplied);
    {
        QImageDib dib(session, argb);
        EXPECT_NE(dib.hdc(), 0u);
    }
    EXPECT_EQ(argb.format(), QImage::Format_RGB32);
    QImage none;
    QImageDib dib(session, none);
    EXPECT_EQ(dib.hdc(), 0u);
}

TEST(MakeStdPicture, GivesTwentyFourBitsThatCImageAccepts) {
    for (const auto format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_Indexed8, QImage::Format_RGB16}) {
        const QImage source = Pattern(7, 5).convertToFormat(format);
        StdPicture pic = MakeStdPicture(source);
        ASSERT_FALSE(pic.Empty());
        BITMAP bm{};
        GetObjectA(pic.Handles(), pic.Handle(), sizeof bm, &bm);
        EXPECT_EQ(bm.bmBitsPixel, 24);
        cImage img;
        std::int16_t bpp = 0;
        ASSERT_TRUE(img.CopyStdPicture(pic, bpp)) << format;
        EXPECT_EQ(bpp, 24);
        const QImage expected = source.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                const auto* p = static_cast<const std::uint8_t*>(img.DIBitsPtr()) +
                                (4 - y) * img.BytesPerScanLine() + x * 3;
                ASSERT_EQ(qRgb(p[2], p[1], p[0]), expected.pixel(x, y)) << format << " " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(MakeStdPicture(QImage()).Empty());
}
