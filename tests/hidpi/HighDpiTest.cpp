// The editor on a 200 % desktop: the picture is shown one picture pixel to
// one device pixel, and the pointer, the tools, scrolling, the hand and the
// window fit all count in picture pixels, exactly as at 100 %. This binary
// runs with QT_SCALE_FACTOR=2 (set before the application starts).
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "canvas_tools/StartPictures.h"

namespace {

// Runs before main() creates the application.
const bool kScaledDesktop = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

using tools_test::ToolsFixture;

QImage OddPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 255, (y * 11) & 255, (x ^ y) & 255));
    }
    return image;
}

class HighDpi : public ToolsFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kScaledDesktop);
        ToolsFixture::SetUp();
        ASSERT_DOUBLE_EQ(Canvas().PixelRatio(), 2.0);
    }
    // A drag in widget pixels (what the user's pointer does on the screen).
    void WidgetDrag(QPoint from, QPoint to) {
        Press(from.x(), from.y());
        MoveTo((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        MoveTo(to.x(), to.y());
        Release(to.x(), to.y());
    }
};

TEST_F(HighDpi, CanvasShowsEachPicturePixelOnOneDevicePixel) {
    const QImage picture = OddPattern(301, 203);
    Load(picture);
    EXPECT_EQ(Canvas().size(), QSize(151, 102));  // rounded up, the picture keeps its size
    EXPECT_EQ(Surface().Image().size(), picture.size());
    const QImage shown = Canvas().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(302, 204));
    EXPECT_EQ(shown.copy(0, 0, 301, 203), picture);
}

TEST_F(HighDpi, PointerReportsThePicturePixelUnderIt) {
    canvas::CanvasSurface surface;
    canvas::CanvasView view(surface);
    surface.SetPicture(OddPattern(200, 120));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QPointF reported;
    QObject::connect(&view, &canvas::CanvasView::mouseDown,
                     [&](int, int, float x, float y) { reported = QPointF(x, y); });
    const struct {
        QPoint widget;
        QPointF expected;
    } cases[] = {{{37, 21}, {74, 42}}, {{0, 59}, {0, 118}}};
    for (const auto& c : cases) {
        QTest::mouseClick(&view, Qt::LeftButton, {}, c.widget);
        EXPECT_EQ(reported, c.expected) << c.widget.x() << "," << c.widget.y();
    }
}

TEST_F(HighDpi, ArrowLandsUnderThePointerWithItsThreePixelPen) {
    SlideToTool(3);
    WidgetDrag(QPoint(20, 60), QPoint(70, 60));  // picture (40, 120) to (140, 120), on black
    const QRgb red = 0xFF0000;
    for (int y = 119; y <= 121; ++y) EXPECT_EQ(Pixel(90, y), red) << y;
    EXPECT_EQ(Pixel(90, 117), 0u);
    EXPECT_EQ(Pixel(90, 123), 0u);
    EXPECT_EQ(Pixel(30, 120), 0u);  // nothing before the start under the pointer
}

TEST_F(HighDpi, CropCutsThePicturePixelsUnderTheFrame) {
    const QImage original = Surface().Image().copy();
    QTest::mouseClick(&ui->cropButton, Qt::LeftButton);
    WidgetDrag(QPoint(70, 45), QPoint(90, 63));
    EXPECT_EQ(Surface().Image(), original.copy(140, 90, 40, 36));
}

TEST_F(HighDpi, ScrollStepsAndTheFarEdgeCountInPicturePixels) {
    Load(OddPattern(2000, 100));
    form->ResizeTwips(7770 + 380, 7305);
    // The panel (7770 twips of widget pixels) holds 1036 picture pixels.
    EXPECT_EQ(ui->horizontalScroll.maximum(), 2000 * 15 - 7770 * 2 + 70);
    ui->horizontalScroll.triggerAction(
        QAbstractSlider::SliderSingleStepAdd);  // 50 twips, about 3 picture pixels
    EXPECT_NEAR(-Canvas().x() * 2.0, 50 / 15.0, 1.0);
    ui->horizontalScroll.setValue(ui->horizontalScroll.maximum());
    // The far edge stands about 70 twips (5 picture pixels) inside the panel.
    EXPECT_NEAR(ui->viewPanel.width() * 2 - (Canvas().x() * 2 + 2000), 70 / 15.0, 2.0);
}

TEST_F(HighDpi, HandDragMovesThePictureWithThePointer) {
    Load(OddPattern(2000, 1500));
    SlideToTool(0);
    Press(100, 100);
    MoveTo(95, 100);
    MoveTo(90, 100);
    Release(90, 100);
    // 10 widget pixels are 20 picture pixels, moved in two steps of 10; each
    // move brings the scroll value a fifteenth of the way to where the
    // grabbed point lies under the pointer. At 100 % the same drag in picture
    // pixels (200 to 190 to 180) leaves the value at 10 + (300 - 10) / 15 = 29.
    EXPECT_NEAR(ui->horizontalScroll.value(), 29, 1);
    EXPECT_EQ(Canvas().x(), -1);
}

TEST_F(HighDpi, WindowFitShowsThePictureOnePixelToOne) {
    Load(OddPattern(640, 480));
    form->FitWindowToPicture();
    // The width is the tool bar's (the picture is narrower), within the screen.
    EXPECT_EQ(form->WidthTwips(),
              std::min(608 * 15 + frmCapture::kFrameWidthTwips, form->ScreenWidthTwips()));
    EXPECT_EQ(form->HeightTwips(), 480 * 15 / 2 + 1180);
    EXPECT_FALSE(ui->horizontalScroll.isEnabled());
    EXPECT_FALSE(ui->verticalScroll.isEnabled());
    EXPECT_EQ(Canvas().size(), QSize(320, 240));
}

TEST_F(HighDpi, TextBoxSitsOverThePicturePixelsItIsDrawnAt) {
    SlideToTool(4);
    Press(30, 40);
    Release(30, 40);
    auto* box = Canvas().findChild<QLineEdit*>(QStringLiteral("txtText"));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->pos(), QPoint(30, 40));
    QTest::keyClicks(box, "HH");
    QTest::keyClick(box, Qt::Key_Return);
    // Drawn from picture (60, 80) on: nothing above or left of it.
    int inked = 0;
    for (int y = 70; y < 110; ++y) {
        for (int x = 50; x < 110; ++x) {
            if (Pixel(x, y) == 0) continue;
            ++inked;
            EXPECT_GE(x, 60);
            EXPECT_GE(y, 80);
        }
    }
    EXPECT_GT(inked, 20);
}

}  // namespace
