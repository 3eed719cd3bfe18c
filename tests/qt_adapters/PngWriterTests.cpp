// The clipboard's PNG writer, read back by Qt's PNG reader.
#include <gtest/gtest.h>

#include <QImage>

#include "imaging/PngWriter.h"

namespace {

QImage Noise(int width, int height, unsigned seed) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            // Flat runs and noise, so that both short and long matches occur.
            row[x] = (x / 5) % 3 == 0 ? qRgba(10, 200, 30, 7) : (seed >> 8) | 0x01000000u;
        }
    }
    return image;
}

QImage Decode(const std::vector<std::uint8_t>& png) {
    return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
}

QImage Opaque(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
}

TEST(PngWriter, DecodesToTheSamePixelsWhateverTheSizeAndBands) {
    struct Case {
        int width, height, rowsPerBand;
    };
    for (const Case c : {Case{1, 1, 64}, Case{7, 9, 1}, Case{7, 9, 4}, Case{300, 5, 2}, Case{33, 700, 64},
                         Case{2000, 3, 1}}) {
        const QImage source = Noise(c.width, c.height, static_cast<unsigned>(c.width * 31 + c.height));
        const imaging::Rgb32View view{source.constBits(), source.width(), source.height(),
                                      source.bytesPerLine()};
        const QImage decoded = Decode(imaging::EncodePng(view, c.rowsPerBand));
        ASSERT_FALSE(decoded.isNull()) << c.width << "x" << c.height << " bands of " << c.rowsPerBand;
        // Alpha is dropped: the clipboard carries the canvas, which has none.
        EXPECT_FALSE(decoded.hasAlphaChannel());
        EXPECT_EQ(Opaque(decoded), Opaque(source)) << c.width << "x" << c.height;
    }
}

TEST(PngWriter, ReadsOnlyThePixelsOfAViewIntoALargerImage) {
    const QImage large = Noise(50, 40, 3);
    const QImage part = large.copy(10, 5, 17, 21);
    // A view of the same rectangle inside the large image: the rows are
    // further apart than the width.
    const imaging::Rgb32View view{large.constBits() + 5 * large.bytesPerLine() + 10 * 4, 17, 21,
                                  large.bytesPerLine()};
    EXPECT_EQ(Opaque(Decode(imaging::EncodePng(view))), Opaque(part));
}

TEST(PngWriter, WritesTheSameBytesEachTime) {
    const QImage source = Noise(640, 480, 9);
    const imaging::Rgb32View view{source.constBits(), source.width(), source.height(), source.bytesPerLine()};
    EXPECT_EQ(imaging::EncodePng(view), imaging::EncodePng(view));
}

TEST(PngWriter, ReusedBandsGiveTheBytesOfAFreshWriteAfterAnyChange) {
    const QImage first = Noise(61, 50, 4);
    const imaging::Rgb32View firstView{first.constBits(), 61, 50, first.bytesPerLine()};
    // Rows changed in the next picture: none, the first, the last row of a
    // band (the band below keeps its rows, but its filter reads that row),
    // one pixel in the middle, a whole other size.
    struct Change {
        int row, height;
    };
    for (const Change change :
         {Change{-1, 50}, Change{0, 50}, Change{39, 50}, Change{23, 50}, Change{5, 49}}) {
        imaging::PngBandCache cache;
        ASSERT_FALSE(imaging::EncodePng(firstView, 8, &cache).empty());
        QImage next = first.copy(0, 0, 61, change.height);
        if (change.row >= 0) next.setPixel(30, change.row, qRgb(1, 2, 3));
        const imaging::Rgb32View nextView{next.constBits(), 61, next.height(), next.bytesPerLine()};
        const std::vector<std::uint8_t> cached = imaging::EncodePng(nextView, 8, &cache);
        EXPECT_EQ(cached, imaging::EncodePng(nextView, 8)) << "row " << change.row;
        EXPECT_EQ(Opaque(Decode(cached)), Opaque(next)) << "row " << change.row;
    }
}

TEST(PngWriter, AnEmptyPictureGivesNoFile) {
    const QImage source(4, 4, QImage::Format_RGB32);
    EXPECT_TRUE(imaging::EncodePng(imaging::Rgb32View{}).empty());
    EXPECT_TRUE(imaging::EncodePng(imaging::Rgb32View{source.constBits(), 0, 4, 16}).empty());
}

}  // namespace
