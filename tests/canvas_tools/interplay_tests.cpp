// Where two parts of the tool set meet, or a tool meets the window: an open
// text box and the tool pop-up, crop mode and the colour pop-up, the hand on
// a scrolled picture, the canvas's repaints, a double click and undo.
#include <QPaintEvent>

#include "StartPictures.h"

namespace tools_test {
namespace {

class InterplayTest : public ToolSetFixture {};

TEST_F(InterplayTest, SlidingToAnotherToolCommitsTheOpenTextInTheColourBeforeIt) {
    SlideToTool(4);
    SlideToColor(1);  // green
    Press(20, 30);
    Release(20, 30);
    QLineEdit& box = TextBox();
    ASSERT_TRUE(box.isVisible());
    QTest::keyClicks(&box, QStringLiteral("Hallo"));

    SlideToTool(3);  // the arrow turns the colour red on the way
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(State().CurrentColor(), 0x000000FFu);
    int green = 0;
    int red = 0;
    for (int y = 25; y < 60; ++y) {
        for (int x = 15; x < 90; ++x) {
            green += Pixel(x, y) == 0x00FF00u ? 1 : 0;
            red += Pixel(x, y) == 0xFF0000u ? 1 : 0;
        }
    }
    EXPECT_GT(green, 10);
    EXPECT_EQ(red, 0);
}

TEST_F(InterplayTest, ColourChoiceInCropModeKeepsTheCrossAndDisarmingAppliesTheToolPointer) {
    SlideToTool(1);
    QTest::mouseClick(&CropButton(), Qt::LeftButton);
    ASSERT_EQ(Canvas().MousePointer(), canvas::kPointerCross);
    SlideToColor(3);  // cyan: the highlighter icon follows, the pointer kind does not
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCross);
    EXPECT_TRUE(ToolsButtonShows(tools::Art().picMarker[3]));

    // Disarming applies the tool-pointer rule: the yellow highlighter for the
    // first four colours, on the canvas and on the view panel.
    QTest::mouseClick(&CropButton(), Qt::LeftButton);
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCustom);
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), tools::Art().MarkerPointer(2)));
    EXPECT_EQ(ViewPanel().MousePointer(), canvas::kPointerCustom);
    EXPECT_TRUE(SameCursor(ViewPanel().MouseIcon(), tools::Art().MarkerPointer(2)));
}

// The window's scroll bars place the canvas in its view panel.
using InterplayWindowTest = ToolsFixture;

TEST_F(InterplayWindowTest, HandOnAScrolledPictureStartsFromThePanelPosition) {
    QImage big(1500, 1200, QImage::Format_RGB32);
    big.fill(Qt::white);
    form->ReplacePicture(big, AfterReplace::Layout);
    ASSERT_TRUE(HorizontalScroll().isEnabled());
    HorizontalScroll().setValue(3000);
    SlideToTool(0);
    Press(300, 100);
    EXPECT_EQ(LastStroke().Start().x, 300 * 15 - 3000);  // in the view panel's twips
    EXPECT_EQ(Hand().PanLeft(), -3000);
    MoveTo(270, 100);                                  // 30 px to the left: 450 twips
    EXPECT_EQ(HorizontalScroll().value(), 3000 + 30);  // a fifteenth of the way
    EXPECT_EQ(CanvasLeftTwips(), -3030);
    Release(270, 100);
    EXPECT_EQ(Hand().ScaleMode(), tools::HandTool::kScalePixels);
}

class CanvasStrokeTest : public ToolSetFixture {
  protected:
    void SetUp() override {
        ToolSetFixture::SetUp();
        original = Surface().Image().copy();
    }
    // Pixels that differ from the picture before the stroke.
    int ChangedPixels() {
        const QImage& now = Surface().Image();
        int n = 0;
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x) n += now.pixel(x, y) != original.pixel(x, y) ? 1 : 0;
        }
        return n;
    }

    QImage original;
};

// Records the rectangles a widget repaints.
class PaintSpy : public QObject {
  public:
    explicit PaintSpy(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
    ~PaintSpy() override { widget_.removeEventFilter(this); }
    QList<QRect> rects;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) rects << static_cast<QPaintEvent*>(event)->rect();
        return false;
    }

  private:
    QWidget& widget_;
};

// While a tool draws, the canvas repaints only around what the pen touched,
// never the whole canvas: a large picture stays cheap to draw on.
TEST_F(CanvasStrokeTest, StrokesRepaintOnlyAroundThePen) {
    const QPoint from(120, 90), mid(140, 100), to(165, 125);
    // The points' rectangle, grown by the largest pen or block and the barbs.
    const QRect allowed = QRect(from, to).adjusted(-20, -20, 20, 20);
    for (const int tool : {1, 2, 3, 5}) {  // highlighter, ellipse, arrow, eraser
        SlideToTool(tool);
        QApplication::processEvents();  // what the panels left to repaint
        PaintSpy spy(Canvas());
        Press(from.x(), from.y());
        QApplication::processEvents();
        for (const QPoint p : {mid, to}) {
            MoveTo(p.x(), p.y());
            QApplication::processEvents();
        }
        Release(to.x(), to.y());
        QApplication::processEvents();
        EXPECT_FALSE(spy.rects.isEmpty()) << "tool " << tool;
        for (const QRect& r : spy.rects) {
            EXPECT_TRUE(allowed.contains(r)) << "tool " << tool << " repainted " << r.x() << "," << r.y()
                                             << " " << r.width() << "x" << r.height();
        }
    }
}

// A double click arrives as press, release, double click, release; only the
// first press starts a stroke, so one undo step takes back all it drew.
TEST_F(CanvasStrokeTest, ADoubleClickIsOneStrokeAndOneUndoStep) {
    for (const int tool : {1, 3}) {  // highlighter, arrow
        SCOPED_TRACE(tool);
        SlideToTool(tool);
        const QPoint at(206, 34);  // the hand slips a little during the first click
        Stroke({QPoint(200, 30), at});
        QMouseEvent second(QEvent::MouseButtonDblClick, at, Canvas().mapToGlobal(at), Qt::LeftButton,
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Canvas(), &second);
        Release(at.x(), at.y());
        EXPECT_GT(ChangedPixels(), 0);
        Undo();
        QApplication::processEvents();
        EXPECT_EQ(ChangedPixels(), 0);
    }
}

}  // namespace
}  // namespace tools_test
