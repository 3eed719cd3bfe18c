// The canvas: its back buffer and pen drawing (the surface), and the view
// that shows it and reports the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <tuple>
#include <vector>

#include "canvas/CanvasPen.h"
#include "canvas/CanvasSurface.h"
#include "canvas/CanvasView.h"
#include "platform/qt/LargeImage.h"
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

TEST(Canvas, BufferSharesThePictureUntilDrawnAndDetachesIntoASpare) {
    CanvasSurface box;
    const QImage pattern = Pattern(40, 30);
    // A picture handed over whole is neither copied nor converted.
    QImage picture = Pattern(40, 30);
    const uchar* pictureBits = picture.constBits();
    box.SetPicture(std::move(picture));
    EXPECT_EQ(box.Picture().constBits(), pictureBits);
    EXPECT_EQ(box.Image().constBits(), pictureBits);

    // A spare kept for reuse while still shared elsewhere, or of another
    // size, is not written to.
    QImage sharedSpare(40, 30, QImage::Format_RGB32);
    sharedSpare.fill(Qt::red);
    const QImage holder = sharedSpare;
    platform::KeepForReuse(sharedSpare);
    ASSERT_TRUE(box.DetachImage());
    EXPECT_NE(box.Image().constBits(), holder.constBits());
    EXPECT_EQ(holder.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_TRUE(SamePixels(box.Image(), pattern));
    box.Cls();
    platform::KeepForReuse(QImage(10, 10, QImage::Format_RGB32));
    ASSERT_TRUE(box.DetachImage());
    EXPECT_TRUE(SamePixels(box.Image(), pattern));

    // An unshared spare of the buffer's size kept for reuse receives the copy; drawing then
    // leaves the picture alone, and Cls shares it again.
    box.Cls();
    QImage spare(40, 30, QImage::Format_RGB32);
    const uchar* spareBits = spare.constBits();
    platform::KeepForReuse(std::move(spare));
    ASSERT_TRUE(box.DetachImage());
    EXPECT_EQ(box.Image().constBits(), spareBits);
    EXPECT_TRUE(SamePixels(box.Image(), pattern));
    box.Line(QPointF(0, 0), QPointF(39, 29), 0x00FFFFFF);
    EXPECT_TRUE(SamePixels(box.Picture(), pattern));
    box.Cls();
    EXPECT_EQ(box.Image().constBits(), pictureBits);

    // A picture of another format handed over whole is converted where it lies.
    QImage argb = Pattern(40, 30, 2).convertToFormat(QImage::Format_ARGB32);
    const uchar* argbBits = argb.constBits();
    box.SetPicture(std::move(argb));
    EXPECT_EQ(box.Picture().format(), QImage::Format_RGB32);
    EXPECT_EQ(box.Picture().constBits(), argbBits);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(40, 30, 2)));
}

TEST(Canvas, GrowingTheBoxKeepsTheDrawingAndFillsWithBackground) {
    CanvasSurface box;
    box.SetBackColor(0x000000FF);  // red
    box.Resize(QSize(10, 10));
    box.WritableImage(QRect(3, 4, 1, 1)).setPixel(3, 4, qRgb(0, 255, 0));
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
