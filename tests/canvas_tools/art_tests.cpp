// The tool pictures: sizes, colours of the variants, pointers and hot spots.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "tools/art/ArtPalette.h"
#include "tools/art/ToolIcons.h"
#include "tools/art/ToolPointers.h"

namespace tools_test {
namespace {

using namespace tools::art;

bool Opaque(const QImage& image, QPoint p) {
    return qAlpha(image.pixel(p)) == 255;
}

int CountColour(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return n;
}

QImage AlphaMask(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_Alpha8);
}

TEST(ToolIcons, EveryVariantHasTheSameShapeInItsOwnColour) {
    const std::function<QImage(int, int)> icons[] = {MarkerIcon, EllipseIcon, ArrowIcon, TextIcon};
    for (const auto& scaled : icons) {
        const auto icon = [&](int v) { return scaled(v, 1); };
        const QImage reference = icon(0);
        EXPECT_EQ(reference.size(), QSize(32, 32));
        for (int v = 0; v < kVariantCount; ++v) {
            const QImage image = icon(v);
            EXPECT_EQ(AlphaMask(image), AlphaMask(reference)) << "variant " << v;
            // The variant's colour fills a good part of the picture.
            EXPECT_GT(CountColour(image, Variant(v).fill), 40) << "variant " << v;
            // No colour of another bright variant creeps in.
            for (int w = 0; w < 4; ++w) {
                if (w == v) continue;
                EXPECT_EQ(CountColour(image, Variant(w).fill), 0) << v << " has " << w;
            }
        }
    }
}

TEST(ToolPointers, HotSpotsLieOnTheDrawnPointer) {
    const struct {
        PointerArt art;
        QPoint hotSpot;
    } pointers[] = {
        {OpenHandPointer(), {15, 15}},   {GrabbingHandPointer(), {15, 15}}, {ArrowToolPointer(), {10, 9}},
        {CrossHairPointer(), {15, 15}},  {EraserPointer(), {8, 11}},        {TextPointer(), {0, 0}},
        {MarkerPointer(2), MarkerTip()},
    };
    for (const auto& p : pointers) {
        EXPECT_EQ(p.art.image.size(), QSize(32, 32));
        EXPECT_EQ(p.art.hotSpot, p.hotSpot);
        EXPECT_TRUE(Opaque(p.art.image, p.hotSpot)) << p.hotSpot.x() << "," << p.hotSpot.y();
    }
    // The highlighter's hot spot is on its nib, drawn in the ink colour.
    for (int v = 0; v < kVariantCount; ++v) {
        const QColor tip = MarkerIcon(v).pixelColor(MarkerTip());
        EXPECT_TRUE(tip == Variant(v).fill || tip == Variant(v).outline) << "variant " << v;
    }
}

// On a 200 % desktop the art is drawn at two device pixels per art pixel:
// the same drawing over the whole picture (not the 1x art in a corner or
// smoothed up), the hot spot still in art pixels and on the drawing.
TEST(ToolPointers, DoubleScaleArtIsTheSameDrawingAtTwiceTheResolution) {
    const std::function<PointerArt(int)> pointers[] = {
        OpenHandPointer,
        GrabbingHandPointer,
        ArrowToolPointer,
        CrossHairPointer,
        EraserPointer,
        TextPointer,
        [](int scale) { return MarkerPointer(1, scale); },
    };
    for (std::size_t i = 0; i < std::size(pointers); ++i) {
        const PointerArt one = pointers[i](1);
        const PointerArt two = pointers[i](2);
        ASSERT_EQ(two.image.size(), QSize(64, 64)) << i;
        EXPECT_EQ(two.image.devicePixelRatio(), 2.0) << i;
        EXPECT_EQ(two.hotSpot, one.hotSpot) << i;
        int same = 0;
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const bool a = Opaque(one.image, QPoint(x, y));
                same += a == Opaque(two.image, QPoint(2 * x, 2 * y)) ? 1 : 0;
                opaque += a ? 1 : 0;
            }
        }
        EXPECT_GT(same, 32 * 32 * 9 / 10) << i;
        EXPECT_GT(opaque, 20) << i;
        EXPECT_TRUE(Opaque(two.image, 2 * two.hotSpot)) << i;
    }
}

TEST(ToolPointers, MonochromePointersUseOnlyBlackWhiteAndTransparent) {
    for (const PointerArt& p : {OpenHandPointer(), GrabbingHandPointer(), ArrowToolPointer()}) {
        int black = 0;
        int white = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QColor c = p.image.pixelColor(x, y);
                if (c.alpha() == 0) continue;
                ASSERT_EQ(c.alpha(), 255);
                ASSERT_TRUE(c == pal::black || c == pal::white) << x << "," << y;
                (c == pal::black ? black : white)++;
            }
        }
        EXPECT_GT(black, 30);
        EXPECT_GT(white, 30);
    }
}

TEST(ToolPointers, EraserFrontFaceCoversTheErasedBlock) {
    // The block put back is 14 x 11 with its corner on the hot spot; the
    // pointer's front face outlines exactly that area.
    const PointerArt eraser = EraserPointer();
    const QPoint c = eraser.hotSpot;
    EXPECT_TRUE(Opaque(eraser.image, c + QPoint(14, 0)));
    EXPECT_TRUE(Opaque(eraser.image, c + QPoint(0, 11)));
    EXPECT_TRUE(Opaque(eraser.image, c + QPoint(14, 11)));
    EXPECT_FALSE(Opaque(eraser.image, c + QPoint(-1, 6)));
    EXPECT_FALSE(Opaque(eraser.image, c + QPoint(6, 12)));
}

}  // namespace
}  // namespace tools_test
