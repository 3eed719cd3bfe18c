// The picture box: back buffer, pen drawing, scale and the mouse hooks.
#include "editor/AppIcon.h"
#include "editor/ToolbarIcons.h"
#include "platform/qt/LargeImage.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

using PictureBoxTest = SandboxedEditorTest;

TEST_F(PictureBoxTest, PictureSetsSizeAndBufferAndClsRestoresIt) {
    PictureBox box;
    box.SetBackColor(0x00000000);
    box.SetPicture(Pattern(30, 20));
    EXPECT_EQ(box.size(), QSize(30, 20));
    EXPECT_EQ(box.Image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(30, 20)));
    box.Line(0, 0, 29, 19, 0x00FFFFFF);
    EXPECT_FALSE(SamePixels(box.Image(), Pattern(30, 20)));
    EXPECT_TRUE(SamePixels(box.Picture(), Pattern(30, 20)));
    box.Cls();
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(30, 20)));
    box.SetPicture(QImage());
    EXPECT_TRUE(box.Picture().isNull());
    EXPECT_EQ(box.Image().pixel(5, 5), qRgb(0, 0, 0));
}

TEST_F(PictureBoxTest, BufferSharesThePictureUntilDrawnAndDetachesIntoASpare) {
    PictureBox box;
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
    box.Line(0, 0, 39, 29, 0x00FFFFFF);
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

TEST_F(PictureBoxTest, GrowingTheBoxKeepsTheDrawingAndFillsWithBackground) {
    PictureBox box;
    box.SetBackColor(0x000000FF);  // red
    box.SetSizePixels(10, 10);
    box.PSet(3, 4, 0x0000FF00);
    box.SetSizePixels(20, 15);
    EXPECT_EQ(box.Image().size(), QSize(20, 15));
    EXPECT_EQ(box.Image().pixel(3, 4), qRgb(0, 255, 0));
    EXPECT_EQ(box.Image().pixel(18, 13), qRgb(255, 0, 0));
}

TEST_F(PictureBoxTest, XorPenDrawnTwiceRestoresThePixels) {
    PictureBox box;
    box.SetPicture(Pattern(60, 40, 3));
    box.DrawWidth = 3;
    box.DrawMode = PictureBox::kDrawModeXorPen;
    box.Line(5, 5, 50, 30, 0x0000FFFF);
    box.Circle(30, 20, 12, 0x00FF00FF, 0.5);
    EXPECT_FALSE(SamePixels(box.Image(), Pattern(60, 40, 3)));
    box.Circle(30, 20, 12, 0x00FF00FF, 0.5);
    box.Line(5, 5, 50, 30, 0x0000FFFF);
    EXPECT_TRUE(SamePixels(box.Image(), Pattern(60, 40, 3)));
    // RGB32 pixels keep an opaque alpha byte after XOR.
    EXPECT_EQ(qAlpha(box.Image().pixel(5, 5)), 255);
}

TEST_F(PictureBoxTest, XorOverBlackShowsThePenColourAndMaskPenTints) {
    PictureBox box;
    box.SetBackColor(0x00000000);
    box.SetSizePixels(20, 20);
    box.DrawMode = PictureBox::kDrawModeXorPen;
    box.Line(2, 10, 17, 10, 0x000000FF);
    EXPECT_EQ(box.Image().pixel(10, 10), qRgb(255, 0, 0));
    PictureBox white;
    white.SetBackColor(0x00FFFFFF);
    white.SetSizePixels(20, 20);
    white.DrawMode = PictureBox::kDrawModeMaskPen;
    white.DrawWidth = 5;
    white.Line(2, 10, 17, 10, 0x0000FFFF);  // yellow highlighter on white
    EXPECT_EQ(white.Image().pixel(10, 10), qRgb(255, 255, 0));
}

TEST_F(PictureBoxTest, CopyPenLineCoversItsEndPointsWithTheWidth) {
    PictureBox box;
    box.SetBackColor(0x00000000);
    box.SetSizePixels(30, 30);
    box.DrawWidth = 3;
    box.Line(5, 15, 25, 15, 0x00FFFFFF);
    EXPECT_EQ(box.Image().pixel(5, 15), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 14), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 16), qRgb(255, 255, 255));
    EXPECT_EQ(box.Image().pixel(15, 12), qRgb(0, 0, 0));
    EXPECT_EQ(box.CurrentX, 25);
    EXPECT_EQ(box.CurrentY, 15);
}

TEST_F(PictureBoxTest, PrintDrawsTextAtTheCurrentPositionWithoutBackground) {
    PictureBox box;
    box.SetBackColor(0x00000000);
    box.SetSizePixels(200, 60);
    box.Font = QFont("Arial", 12, QFont::Bold);
    box.ForeColor = 0x000000FF;
    box.CurrentX = 10;
    box.CurrentY = 10;
    box.Print("Hallo");
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
    EXPECT_GT(box.CurrentY, 20);
    EXPECT_GT(box.TextWidth("Hallo"), 30);
}

TEST_F(PictureBoxTest, MouseHooksReportButtonsShiftAndScaledPositions) {
    PictureBox box;
    box.SetSizePixels(100, 100);
    box.show();
    std::vector<std::tuple<char, int, int, float, float>> events;
    box.onMouseDown = [&](int b, int s, float x, float y) { events.emplace_back('d', b, s, x, y); };
    box.onMouseMove = [&](int b, int s, float x, float y) { events.emplace_back('m', b, s, x, y); };
    box.onMouseUp = [&](int b, int s, float x, float y) { events.emplace_back('u', b, s, x, y); };
    QTest::mousePress(&box, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(10, 20));
    QTest::mouseRelease(&box, Qt::RightButton, Qt::AltModifier, QPoint(11, 21));
    box.SetScaleMode(PictureBox::kScaleTwips);
    QTest::mousePress(&box, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 5), box.mapToGlobal(QPointF(4, 5)), Qt::NoButton,
                     Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &move);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], std::make_tuple('d', 2, 3, 10.f, 20.f));
    EXPECT_EQ(events[1], std::make_tuple('u', 2, 4, 11.f, 21.f));
    EXPECT_EQ(events[2], std::make_tuple('d', 1, 0, 30.f, 45.f));
    EXPECT_EQ(events[3], std::make_tuple('m', 5, 0, 60.f, 75.f));
}

TEST_F(PictureBoxTest, PointerKindsAndMirroredCustomPointer) {
    PictureBox box;
    box.SetMousePointer(PictureBox::kPointerCross);
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);
    box.SetMouseIcon(QCursor(Qt::OpenHandCursor));
    box.SetMousePointer(PictureBox::kPointerCustom);
    EXPECT_EQ(box.cursor().shape(), Qt::OpenHandCursor);
}

TEST_F(PictureBoxTest, ToolBarIconsAreDistinctSixteenPixelDrawings) {
    const QImage images[] = {icons::OpenFolderImage(), icons::FloppyDiskImage(), icons::CropImage(),
                             icons::CopyImage(),       icons::PasteImage(),      icons::EyeImage(),
                             icons::UndoImage(),       icons::OpenHandImage()};
    for (std::size_t i = 0; i < std::size(images); ++i) {
        EXPECT_EQ(images[i].size(), QSize(16, 16));
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) opaque += qAlpha(images[i].pixel(x, y)) > 128 ? 1 : 0;
        }
        EXPECT_GT(opaque, 25) << i;
        EXPECT_LT(opaque, 256) << i;  // a shape, not a filled square
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
    }
    const QImage pen = icons::AppIconImage(32);
    EXPECT_EQ(pen.size(), QSize(32, 32));
    int yellow = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QColor c = QColor::fromRgba(pen.pixel(x, y));
            yellow += c.alpha() > 200 && c.red() > 200 && c.green() > 180 && c.blue() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 60);
}

}  // namespace
