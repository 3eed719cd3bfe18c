// Shapes, coordinate mapping, objects and drawing state of the metafile
// player, checked on the pixels of small rendered pictures.
#include <gtest/gtest.h>

#include "platform/wmf/WmfPicture.h"
#include "wmf/WmfBuilder.h"

using namespace wmftest;

namespace {

constexpr int kHatched = 2;

}  // namespace

TEST(WmfShapes, RectangleFillsWithBrushAndOutlinesWithPen) {
    MetafileBuilder b = Canvas();
    b.Pen(0, 0, Qt::blue).Brush(0, Qt::red).Select(0).Select(1).Rectangle(10, 20, 50, 60);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 30, 40), QColor(Qt::red));
    EXPECT_EQ(At(img, 10, 40), QColor(Qt::blue));  // left edge
    EXPECT_EQ(At(img, 30, 20), QColor(Qt::blue));  // top edge
    EXPECT_EQ(At(img, 5, 40), QColor(Qt::white));
    EXPECT_EQ(At(img, 55, 40), QColor(Qt::white));  // right edge is exclusive
    EXPECT_EQ(At(img, 30, 65), QColor(Qt::white));
}

TEST(WmfShapes, EllipseRoundRectAndPolygonsCoverTheirInsideOnly) {
    MetafileBuilder b = Canvas();
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::green).Select(1);
    b.Ellipse(0, 0, 40, 40);
    b.Rec(0x061C, {20, 20, 40, 100, 0, 60});   // round rectangle 60,0-100,40, corners 20 x 20
    b.Points(0x0324, {0, 50, 40, 50, 0, 90});  // triangle
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 20, 20), QColor(Qt::green));
    EXPECT_EQ(At(img, 2, 2), QColor(Qt::white));  // outside the ellipse, inside its box
    EXPECT_EQ(At(img, 80, 20), QColor(Qt::green));
    EXPECT_EQ(At(img, 61, 1), QColor(Qt::white));  // rounded corner
    EXPECT_EQ(At(img, 62, 20), QColor(Qt::green));
    EXPECT_EQ(At(img, 5, 60), QColor(Qt::green));
    EXPECT_EQ(At(img, 35, 85), QColor(Qt::white));  // beyond the hypotenuse
}

TEST(WmfShapes, PolyPolygonFollowsTheFillMode) {
    // An outer and an inner square, both clockwise: alternate leaves a hole,
    // winding fills it.
    for (const int mode : {1, 2}) {
        MetafileBuilder b = Canvas();
        b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::blue).Select(1).Rec(0x0106, {mode});
        Bytes raw;
        for (const int w : {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70})
            PutU16(raw, w);
        b.Rec(0x0538, {}, raw);
        const QImage img = Render(b);
        EXPECT_EQ(At(img, 20, 50), QColor(Qt::blue));
        EXPECT_EQ(At(img, 50, 50), mode == 1 ? QColor(Qt::white) : QColor(Qt::blue)) << "mode " << mode;
    }
}

TEST(WmfShapes, LinesAndPolylinesUseThePenAndMoveThePosition) {
    MetafileBuilder b = Canvas();
    b.Pen(0, 5, Qt::red).Select(0);
    b.Rec(0x0214, {10, 10}).Rec(0x0213, {10, 90}).Rec(0x0213, {90, 90});  // from the last point on
    b.Points(0x0325, {10, 50, 90, 50});
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 50, 10), QColor(Qt::red));
    EXPECT_EQ(At(img, 90, 50), QColor(Qt::red));
    EXPECT_EQ(At(img, 50, 51), QColor(Qt::red));  // 5 units wide
    EXPECT_EQ(At(img, 50, 30), QColor(Qt::white));
    EXPECT_EQ(At(img, 10, 70), QColor(Qt::white));  // the polyline is open
}

TEST(WmfShapes, ArcPieAndChordGoCounterClockwiseFromStartToEnd) {
    // Start on the right (3 o'clock), end at the top (12 o'clock): the upper
    // right quarter.
    MetafileBuilder pie = Canvas();
    pie.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Select(1);
    pie.Rec(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});
    QImage img = Render(pie);
    EXPECT_EQ(At(img, 70, 30), QColor(Qt::red));
    EXPECT_EQ(At(img, 30, 30), QColor(Qt::white));
    EXPECT_EQ(At(img, 70, 70), QColor(Qt::white));

    // Chord over the same quarter: the corner triangle at the centre stays empty.
    MetafileBuilder chord = Canvas();
    chord.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Select(1);
    chord.Rec(0x0830, {0, 50, 50, 100, 100, 100, 0, 0});
    img = Render(chord);
    EXPECT_EQ(At(img, 80, 20), QColor(Qt::red));
    EXPECT_EQ(At(img, 55, 45), QColor(Qt::white));

    // Arc from the top to the right: three quarters, not the upper right one.
    MetafileBuilder arc = Canvas();
    arc.Pen(0, 3, Qt::blue).Select(0);
    arc.Rec(0x0817, {50, 100, 0, 50, 100, 100, 0, 0});
    img = Render(arc);
    EXPECT_EQ(At(img, 1, 50), QColor(Qt::blue));    // left
    EXPECT_EQ(At(img, 50, 98), QColor(Qt::blue));   // bottom
    EXPECT_EQ(At(img, 85, 15), QColor(Qt::white));  // upper right stays empty
}

TEST(WmfMapping, WindowOriginAndExtentScaleOntoThePicture) {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, 1000, 1000, 960);  // 100 x 100 pixels
    b.Window(500, 1500, 1000, -1000);       // y grows upwards; 500,500 is the bottom left corner
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Select(1).Rectangle(500, 500, 700, 700);
    // Viewport records do not move a placeable picture.
    b.Rec(0x020D, {50, 50})
        .Rec(0x020E, {10, 10})
        .Brush(0, Qt::blue)
        .Select(2)
        .Rectangle(1300, 1300, 1500, 1500);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 10, 90), QColor(Qt::red));  // bottom left
    EXPECT_EQ(At(img, 10, 10), QColor(Qt::white));
    EXPECT_EQ(At(img, 90, 10), QColor(Qt::blue));  // top right
}

TEST(WmfMapping, PlainMetafileHonoursItsViewport) {
    MetafileBuilder b;
    b.Window(0, 0, 100, 100).Rec(0x020E, {50, 50});  // viewport half the window: everything at half size
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Select(1).Rectangle(0, 0, 100, 100);
    const QImage img = Render(b);
    ASSERT_EQ(img.size(), QSize(100, 100));
    EXPECT_EQ(At(img, 25, 25), QColor(Qt::red));
    EXPECT_EQ(At(img, 75, 75), QColor(Qt::white));
}

TEST(WmfObjects, NewObjectsTakeTheLowestFreeSlot) {
    MetafileBuilder b = Canvas();
    b.Pen(kNullPen, 0, Qt::black).Select(0);                     // slot 0
    b.Brush(0, Qt::red).Brush(0, Qt::green).Brush(0, Qt::blue);  // slots 1, 2, 3
    b.Delete(2).Brush(0, Qt::yellow);                            // takes slot 2 again
    b.Select(2).Rectangle(0, 0, 50, 100).Select(3).Rectangle(50, 0, 100, 100);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 25, 50), QColor(Qt::yellow));
    EXPECT_EQ(At(img, 75, 50), QColor(Qt::blue));
}

TEST(WmfObjects, BadIndexesFailTheLoadButDeletedSlotsAreHarmless) {
    MetafileBuilder outOfRange = Canvas();
    outOfRange.SetObjects(2);
    outOfRange.Brush(0, Qt::red).Select(5).Rectangle(0, 0, 50, 50);
    EXPECT_TRUE(LoadWindowsMetafile(View(outOfRange.Build())).isNull());

    MetafileBuilder deleted = Canvas();
    deleted.SetObjects(2);
    deleted.Brush(0, Qt::red).Select(0).Delete(0).Select(0).Delete(1).Rectangle(10, 10, 50, 50);
    const QImage img = Render(deleted);
    EXPECT_EQ(At(img, 30, 30), QColor(Qt::red));  // the brush stays selected after deletion

    // A full table drops the new object; the old one stays selectable.
    MetafileBuilder full = Canvas();
    full.SetObjects(1);
    full.Brush(0, Qt::red).Brush(0, Qt::blue).Select(0).Rectangle(10, 10, 50, 50);
    EXPECT_EQ(At(Render(full), 30, 30), QColor(Qt::red));
}

TEST(WmfState, SaveAndRestoreBringBackBrushAndClipping) {
    MetafileBuilder b = Canvas();
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Brush(0, Qt::blue).Select(1);
    b.Rec(0x001E).Select(2).Rec(0x0416, {50, 50, 0, 0}).Rec(0x001E);  // save, blue, clip to 0,0-50,50, save
    b.Rectangle(0, 0, 100, 100);                                      // only the clipped quarter
    b.Rec(0x0127, {1});  // back to the first save: red, unclipped
    b.Rectangle(60, 60, 100, 100);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 25, 25), QColor(Qt::blue));
    EXPECT_EQ(At(img, 75, 25), QColor(Qt::white));
    EXPECT_EQ(At(img, 80, 80), QColor(Qt::red));
}

TEST(WmfState, ExcludedRectangleStaysUntouched) {
    MetafileBuilder b = Canvas();
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::red).Select(1);
    b.Rec(0x0415, {60, 60, 40, 40}).Rectangle(0, 0, 100, 100);
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 50, 50), QColor(Qt::white));
    EXPECT_EQ(At(img, 20, 20), QColor(Qt::red));
}

TEST(WmfState, XorPenAndHatchedBrushWithOpaqueBackground) {
    MetafileBuilder b = Canvas();
    b.Pen(kNullPen, 0, Qt::black).Select(0).Brush(0, Qt::white).Select(1).Rec(0x0104, {7});  // R2_XORPEN
    b.Rectangle(0, 0, 50, 50);  // white XOR white = black
    b.Rec(0x0104, {13}).SetBkColor(Qt::yellow).Rec(0x0102, {2});
    b.Brush(kHatched, Qt::blue, 0).Select(2).Rectangle(50, 50, 100, 100);  // horizontal hatch on yellow
    const QImage img = Render(b);
    EXPECT_EQ(At(img, 25, 25), QColor(Qt::black));
    int blue = 0;
    int yellow = 0;
    for (int y = 55; y < 95; ++y) {
        const QColor c = At(img, 75, y);
        blue += c == QColor(Qt::blue);
        yellow += c == QColor(Qt::yellow);
    }
    EXPECT_GT(blue, 2);
    EXPECT_GT(yellow, 20);
}
