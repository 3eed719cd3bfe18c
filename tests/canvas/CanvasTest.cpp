// The canvas: its back buffer and pen drawing (the surface), and the view
// that shows it and reports the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "canvas/CanvasPen.h"
#include "canvas/CanvasSurface.h"
#include "canvas/CanvasView.h"
#include "support/TestPictures.h"

using namespace test_support;
using canvas::CanvasSurface;

namespace {

void SetPen(CanvasSurface& surface, int width, int mode) {
    canvas::PenState pen = surface.Pen();
    pen.DrawWidth = width;
    pen.DrawMode = mode;
    surface.SetPen(pen);
}

TEST(Canvas, PictureSetsSizeAndBufferAndClsRestoresIt) {
    CanvasSurface box;
    box.SetBackColor(0x00000000);
    box.SetPicture(Pattern(30, 20));
    EXPECT_EQ(box.Size(), QSize(30, 20));
    EXPECT_EQ(box.Image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(30, 20)));
    box.Line(QPointF(0, 0), QPointF(29, 19), 0x00FFFFFF);
    EXPECT_FALSE(SamePixels(box.Image(), Pattern(30, 20)));
    EXPECT_TRUE(SamePixels(box.Picture(), Pattern(30, 20)));
    box.Cls();
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(30, 20)));
    box.SetPicture(QImage());
    EXPECT_TRUE(box.Picture().isNull());
    EXPECT_EQ(box.Image().pixel(5, 5), qRgb(0, 0, 0));
}

TEST(Canvas, APictureHandedOverWholeIsNeitherCopiedNorConverted) {
    CanvasSurface box;
    QImage picture = Pattern(40, 30);
    const uchar* pictureBits = picture.constBits();
    box.SetPicture(std::move(picture));
    EXPECT_EQ(box.Image().constBits(), pictureBits);
    EXPECT_EQ(box.Picture().constBits(), pictureBits);

    QImage argb = Pattern(40, 30, 2).convertToFormat(QImage::Format_ARGB32);
    const uchar* argbBits = argb.constBits();
    box.SetPicture(std::move(argb));
    EXPECT_EQ(box.Image().format(), QImage::Format_RGB32);
    EXPECT_EQ(box.Image().constBits(), argbBits);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(40, 30, 2)));
}

// The picture, the reference and the undo snapshots are versions of the
// canvas: each gives back exactly the pixels of its moment, keeping no more
// than the tiles drawn over since.
TEST(Canvas, VersionsKeepTheirMomentAndOnlyTheTilesDrawnOver) {
    CanvasSurface box;
    const QImage picture = Pattern(300, 200);
    box.SetPicture(picture.copy());
    const canvas::Version first = box.TakeVersion();
    SetPen(box, 3, canvas::kDrawModeCopyPen);
    box.Line(QPointF(10, 10), QPointF(40, 12), 0x000000FF);  // within the first tile
    const QImage afterOne = box.Image().copy();
    const canvas::Version second = box.TakeVersion();
    box.Line(QPointF(150, 150), QPointF(290, 190), 0x0000FF00);
    box.Line(QPointF(5, 5), QPointF(60, 60), 0x00FF0000);  // over the first line again

    EXPECT_TRUE(SamePixels(first->ToImage(), picture));
    EXPECT_TRUE(SamePixels(second->ToImage(), afterOne));
    EXPECT_TRUE(SamePixels(box.Picture(), picture));
    EXPECT_FALSE(SamePixels(box.Image(), afterOne));
    // Parts, across tile edges and reaching outside.
    for (const QRect area : {QRect(0, 0, 14, 11), QRect(50, 60, 30, 20), QRect(280, 180, 40, 40)}) {
        EXPECT_TRUE(SamePixels(first->Copy(area), picture.copy(area & picture.rect()))) << area.x();
        EXPECT_TRUE(SamePixels(second->Copy(area), afterOne.copy(area & picture.rect()))) << area.x();
    }
    EXPECT_TRUE(second->OverwrittenIn(QRect(0, 0, 64, 64)));
    EXPECT_FALSE(second->OverwrittenIn(QRect(64, 0, 64, 64)));  // nothing drawn there since

    // Clearing puts the picture back; the versions still give their moments.
    box.Cls();
    EXPECT_TRUE(SamePixels(box.Image(), picture));
    EXPECT_TRUE(SamePixels(second->ToImage(), afterOne));
    // A new picture: the old versions keep the old pixels.
    box.SetPicture(Pattern(20, 10, 5));
    EXPECT_TRUE(SamePixels(second->ToImage(), afterOne));
    EXPECT_TRUE(SamePixels(first->ToImage(), picture));
}

// Long lines and large outlines keep only the tiles along them, yet every
// pixel they change: the versions still give their moment whole. Two
// versions taken together share each kept tile.
TEST(Canvas, LongShapesKeepEveryPixelTheyChangeButNotTheirWholeBox) {
    const QImage picture = Pattern(1500, 1100);
    struct Shape {
        const char* name;
        bool ellipse;
        QRectF at;  // a line from the top-left to the bottom-right corner
        int width;
        int mode;
        bool filled;
        QPoint inBox;  // far from the outline, or (-1, -1): none is
    };
    constexpr int kCopy = canvas::kDrawModeCopyPen, kXor = canvas::kDrawModeXorPen,
                  kMask = canvas::kDrawModeMaskPen;
    const Shape shapes[] = {
        {"slanted line", false, QRectF(QPointF(1490, 3), QPointF(2, 1095)), 5, kCopy, false, {1400, 1000}},
        {"steep xor line", false, QRectF(QPointF(700, 0), QPointF(760, 1099)), 1, kXor, false, {100, 500}},
        {"circle", true, QRectF(100, 50, 1000, 1000), 3, kCopy, false, {600, 550}},
        {"flat ellipse", true, QRectF(QPointF(1450, 600), QPointF(20, 612)), 12, kMask, false, {-1, -1}},
        {"tall ellipse", true, QRectF(740, 10, 9, 1080), 3, kXor, false, {-1, -1}},
        {"reaching outside", true, QRectF(-300, -200, 2100, 1500), 5, kCopy, false, {750, 550}},
        {"filled", true, QRectF(200, 200, 900, 700), 1, kCopy, true, {650, 550}},
    };
    for (const Shape& shape : shapes) {
        CanvasSurface box;
        box.SetPicture(picture.copy());
        const canvas::Version reference = box.TakeVersion();
        const canvas::Version snapshot = box.TakeVersion();
        SetPen(box, shape.width, shape.mode);
        canvas::PenState pen = box.Pen();
        pen.ForeColor = 0x0000A0FF;
        pen.FillStyle = shape.filled ? canvas::kFillSolid : canvas::kFillTransparent;
        pen.FillColor = 0x00FF0000;
        box.SetPen(pen);
        {
            canvas::CanvasPen draw(box);
            if (shape.ellipse) {
                draw.Ellipse(shape.at);
            } else {
                draw.Line(shape.at.topLeft(), shape.at.bottomRight());
            }
        }
        EXPECT_FALSE(SamePixels(box.Image(), picture)) << shape.name;
        EXPECT_TRUE(SamePixels(reference->ToImage(), picture)) << shape.name;
        EXPECT_TRUE(SamePixels(snapshot->ToImage(), picture)) << shape.name;
        // Inside the shape's box, away from the outline: kept only for a filled shape.
        if (shape.inBox.x() >= 0) {
            EXPECT_EQ(snapshot->OverwrittenIn(QRect(shape.inBox, QSize(1, 1))), shape.filled) << shape.name;
        }
    }
    // The surface's own line (the highlighter's) is announced the same way.
    CanvasSurface box;
    box.SetPicture(picture.copy());
    const canvas::Version version = box.TakeVersion();
    SetPen(box, 12, kMask);
    box.Line(QPointF(1490, 3), QPointF(2, 1095), 0x0000FFFF);
    EXPECT_TRUE(SamePixels(version->ToImage(), picture));
    EXPECT_FALSE(version->OverwrittenIn(QRect(1400, 1000, 1, 1)));
}

// A reader on another thread (a clipboard encoder) gets the pixels of the
// version's moment while the canvas draws on.
TEST(Canvas, AVersionReadOnAnotherThreadWhileDrawingGivesItsMoment) {
    CanvasSurface box;
    box.SetPicture(Pattern(640, 480));
    const QImage before = box.Image().copy();
    const canvas::Version snapshot = box.TakeVersion();
    std::atomic<bool> stop{false};
    QImage read(640, 480, QImage::Format_RGB32);
    std::thread reader([&] {
        while (!stop.load()) snapshot->ReadRows(0, 480, read.bits(), read.bytesPerLine());
    });
    SetPen(box, 12, canvas::kDrawModeMaskPen);
    for (int i = 0; i < 200; ++i) {
        box.Line(QPointF(i * 3 % 640, i % 480), QPointF((i * 7) % 640, (i * 5) % 480), 0x0000FFFF);
    }
    stop.store(true);
    reader.join();
    EXPECT_TRUE(SamePixels(read, before));
    EXPECT_FALSE(SamePixels(box.Image(), before));
}

TEST(Canvas, GrowingTheBoxKeepsTheDrawingAndFillsWithBackground) {
    CanvasSurface box;
    box.SetBackColor(0x000000FF);  // red
    box.Resize(QSize(10, 10));
    box.WritableImage(QRect(3, 4, 1, 1))->setPixel(3, 4, qRgb(0, 255, 0));
    box.Resize(QSize(20, 15));
    EXPECT_EQ(box.Image().size(), QSize(20, 15));
    EXPECT_EQ(box.Image().pixel(3, 4), qRgb(0, 255, 0));
    EXPECT_EQ(box.Image().pixel(18, 13), qRgb(255, 0, 0));
}

TEST(Canvas, XorPenDrawnTwiceRestoresThePixels) {
    CanvasSurface box;
    box.SetPicture(Pattern(60, 40, 3));
    SetPen(box, 3, canvas::kDrawModeXorPen);
    const auto ellipse = [&box] {
        canvas::PenState pen = box.Pen();
        pen.ForeColor = 0x00FF00FF;
        box.SetPen(pen);
        canvas::CanvasPen(box).Ellipse(QRectF(18, 14, 24, 12));
    };
    box.Line(QPointF(5, 5), QPointF(50, 30), 0x0000FFFF);
    ellipse();
    EXPECT_FALSE(SamePixels(box.Image(), Pattern(60, 40, 3)));
    ellipse();
    box.Line(QPointF(5, 5), QPointF(50, 30), 0x0000FFFF);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(60, 40, 3)));
    // RGB32 pixels keep an opaque alpha byte after XOR.
    EXPECT_EQ(qAlpha(box.Image().pixel(5, 5)), 255);
}

TEST(Canvas, XorOverBlackShowsThePenColourAndMaskPenTints) {
    CanvasSurface box;
    box.SetBackColor(0x00000000);
    box.Resize(QSize(20, 20));
    SetPen(box, 1, canvas::kDrawModeXorPen);
    box.Line(QPointF(2, 10), QPointF(17, 10), 0x000000FF);
    EXPECT_EQ(box.Image().pixel(10, 10), qRgb(255, 0, 0));
    CanvasSurface white;
    white.SetBackColor(0x00FFFFFF);
    white.Resize(QSize(20, 20));
    SetPen(white, 5, canvas::kDrawModeMaskPen);
    white.Line(QPointF(2, 10), QPointF(17, 10), 0x0000FFFF);  // yellow highlighter on white
    EXPECT_EQ(white.Image().pixel(10, 10), qRgb(255, 255, 0));
}

TEST(Canvas, CopyPenLineCoversItsEndPointsWithTheWidth) {
    CanvasSurface box;
    box.SetBackColor(0x00000000);
    box.Resize(QSize(30, 30));
    SetPen(box, 3, canvas::kDrawModeCopyPen);
    box.Line(QPointF(5, 15), QPointF(25, 15), 0x00FFFFFF);
    EXPECT_EQ(box.Image().pixel(5, 15), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 14), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 16), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 12), qRgb(0, 0, 0));
    EXPECT_EQ(box.CurrentPosition(), QPointF(25, 15));
}

TEST(Canvas, PrintDrawsTextAtTheCurrentPositionWithoutBackground) {
    CanvasSurface box;
    box.SetBackColor(0x00000000);
    box.Resize(QSize(200, 60));
    box.SetFont(QFont("Arial", 12, QFont::Bold));
    canvas::PenState pen = box.Pen();
    pen.ForeColor = 0x000000FF;
    box.SetPen(pen);
    box.SetCurrentPosition(QPointF(10, 10));
    const QRect printed = box.Print("Hallo");
    int red = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const QRgb p = box.Image().pixel(x, y);
            if (qRed(p) > 128 && qGreen(p) < 64) {
                ++red;
                EXPECT_GE(x, 10);
                EXPECT_GE(y, 10);
            }
        }
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(box.CurrentPosition().y(), 20);
    EXPECT_GT(printed.width(), 30);
}

TEST(Canvas, ViewReportsButtonsShiftAndPicturePositions) {
    CanvasSurface surface;
    canvas::CanvasView view(surface);
    surface.SetPicture(Pattern(100, 100));
    view.show();
    std::vector<std::tuple<char, int, int, float, float>> events;
    const auto record = [&events](char kind) {
        return [&events, kind](int b, int s, float x, float y) { events.emplace_back(kind, b, s, x, y); };
    };
    QObject::connect(&view, &canvas::CanvasView::mouseDown, record('d'));
    QObject::connect(&view, &canvas::CanvasView::mouseMove, record('m'));
    QObject::connect(&view, &canvas::CanvasView::mouseUp, record('u'));
    QTest::mousePress(&view, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(10, 20));
    QTest::mouseRelease(&view, Qt::RightButton, Qt::AltModifier, QPoint(11, 21));
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 5), view.mapToGlobal(QPointF(4, 5)), Qt::NoButton,
                     Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], std::make_tuple('d', 2, 3, 10.f, 20.f));
    EXPECT_EQ(events[1], std::make_tuple('u', 2, 4, 11.f, 21.f));
    EXPECT_EQ(events[2], std::make_tuple('d', 1, 0, 2.f, 3.f));
    EXPECT_EQ(events[3], std::make_tuple('m', 5, 0, 4.f, 5.f));
}

TEST(Canvas, PointerKindsAndMirroredCustomPointer) {
    canvas::ViewPanel box;
    box.SetMousePointer(canvas::kPointerCross);
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);
    box.SetMouseIcon(QCursor(Qt::OpenHandCursor));
    box.SetMousePointer(canvas::kPointerCustom);
    EXPECT_EQ(box.cursor().shape(), Qt::OpenHandCursor);
}

}  // namespace
