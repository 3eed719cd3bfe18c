// The canvas stroke protocol with the arrow and the ellipse, without the
// window: undo snapshot on every press, XOR rubber band erased by redrawing,
// opaque commit, constraints.
#include <QApplication>
#include <QClipboard>

#include "StartPictures.h"
#include "StrokeDriver.h"
#include "platform/qt/PictureClipboard.h"
#include "tools/ShapeTools.h"

namespace tools_test {
namespace {

constexpr QRgb kRedRgb = 0xFF0000;

class StrokeTest : public test_support::StrokeDriver {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
    void SetUp() override {
        StrokeDriver::SetUp();
        original = Surface().Image().copy();
    }
    // Pixels that differ from the picture before the stroke, outside `except`.
    int ChangedPixels(const QRect& except = {}) const {
        const QImage& now = State().Canvas().Image();
        int n = 0;
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x)
                n += (now.pixel(x, y) != original.pixel(x, y) && !except.contains(x, y)) ? 1 : 0;
        }
        return n;
    }
    bool Untouched(int x, int y) const {
        return State().Canvas().Image().pixel(x, y) == original.pixel(x, y);
    }

    QImage original;
};

TEST_F(StrokeTest, ArrowCommitsShaftAndBarbsInTheCurrentColour) {
    SlideToTool(3);
    Drag({100, 100}, {200, 100});
    EXPECT_EQ(LastStroke().End().x, 200);
    EXPECT_EQ(LastStroke().End().y, 100);
    // Shaft and the barb ends (186, 95) and (186, 105).
    for (QPoint p :
         {QPoint(100, 100), QPoint(150, 100), QPoint(200, 100), QPoint(186, 95), QPoint(186, 105)}) {
        EXPECT_EQ(Pixel(p.x(), p.y()), kRedRgb) << p.x() << "," << p.y();
    }
    // Off the stroke: beside the shaft, behind the barbs, beyond the tip.
    for (QPoint p : {QPoint(130, 104), QPoint(130, 96), QPoint(180, 92), QPoint(205, 100), QPoint(95, 100)}) {
        EXPECT_TRUE(Untouched(p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_FALSE(Strokes().Drawing());
    // The pen stays as the commit left it.
    EXPECT_EQ(Surface().Pen().DrawMode, canvas::kDrawModeCopyPen);
    EXPECT_EQ(Surface().Pen().ForeColor, 0x000000FFu);
    EXPECT_EQ(Surface().Pen().DrawWidth, 3);
}

TEST_F(StrokeTest, ArrowPointsWhereItWasDragged) {
    SlideToTool(3);
    Drag({60, 120}, {60, 40});  // straight up: barbs below the tip
    EXPECT_EQ(Pixel(55, 54), kRedRgb);
    EXPECT_EQ(Pixel(65, 54), kRedRgb);
    EXPECT_TRUE(Untouched(55, 30));
    EXPECT_TRUE(Untouched(65, 30));
}

TEST_F(StrokeTest, EllipseIsInscribedInTheDragRectangle) {
    SlideToTool(2);
    Drag({10, 10}, {110, 60});
    // Leftmost, rightmost, top and bottom points of the outline.
    for (QPoint p : {QPoint(10, 35), QPoint(110, 35), QPoint(60, 10), QPoint(60, 60)}) {
        EXPECT_EQ(Pixel(p.x(), p.y()), kRedRgb) << p.x() << "," << p.y();
    }
    // Centre, corners of the rectangle, just outside the outline.
    for (QPoint p : {QPoint(60, 35), QPoint(12, 12), QPoint(108, 58), QPoint(6, 35), QPoint(60, 64)}) {
        EXPECT_TRUE(Untouched(p.x(), p.y())) << p.x() << "," << p.y();
    }
}

TEST_F(StrokeTest, EllipseVerticalDragDrawsNothingAndFlatDragALine) {
    SlideToTool(2);
    Drag({40, 20}, {40, 90});
    EXPECT_EQ(ChangedPixels(), 0);
    Drag({20, 150}, {100, 150});
    EXPECT_EQ(Pixel(60, 150), kRedRgb);
    EXPECT_EQ(Pixel(25, 150), kRedRgb);
    EXPECT_TRUE(Untouched(60, 146));
    EXPECT_TRUE(Untouched(60, 154));
}

TEST_F(StrokeTest, PreviewIsErasedExactlyByRedrawing) {
    // Over the patterned half, where XOR changes every pixel it touches.
    for (int tool : {2, 3}) {
        SlideToTool(tool);
        original = Surface().Image().copy();
        Press(170, 40);
        MoveTo(200, 60);
        EXPECT_GT(ChangedPixels(), 0);
        MoveTo(260, 130);
        MoveTo(230, 170);
        // Drawing the last preview once more with the same pen leaves the
        // picture as it was before the press.
        if (tool == 3) {
            tools::DrawArrow(Surface(), 170, 40, 230, 170);
            // Only the dot the press drew with the copy pen is left, as the
            // first move's XOR left it; the arrow's tail covers it at the end.
            EXPECT_FALSE(Untouched(170, 40));
            EXPECT_EQ(ChangedPixels(QRect(169, 39, 3, 3)), 0) << "tool " << tool;
        } else {
            tools::DrawEllipse(Surface(), 170, 40, 230, 170);
            EXPECT_EQ(ChangedPixels(), 0) << "tool " << tool;
        }
        MoveTo(230, 170);  // the stroke goes on and draws a preview again
        Release(230, 170);
    }
}

TEST_F(StrokeTest, PreviewOverTheBlackBackgroundShowsTheTrueColour) {
    SlideToTool(3);
    SlideToColor(1);
    Press(20, 20);
    MoveTo(80, 20);
    EXPECT_EQ(Pixel(50, 20), 0x00FF00u);
    EXPECT_TRUE(Strokes().Drawing());
    Release(80, 20);
}

TEST_F(StrokeTest, LastPreviewStaysWhenTheReleaseIsElsewhere) {
    SlideToTool(3);
    Press(20, 30);
    MoveTo(80, 30);
    Release(20, 90);
    EXPECT_EQ(Pixel(60, 30), kRedRgb);  // preview, never erased
    EXPECT_EQ(Pixel(20, 60), kRedRgb);  // the committed arrow
}

TEST_F(StrokeTest, RightButtonDuringADragFreezesThePreviewButDoesNotEndTheStroke) {
    SlideToTool(3);
    Press(20, 30);
    MoveTo(80, 30);
    Press(80, 30, Qt::RightButton);
    EXPECT_TRUE(Strokes().Drawing());
    MoveTo(80, 100);  // left and right held: ignored
    EXPECT_EQ(LastStroke().End().x, 80);
    EXPECT_EQ(LastStroke().End().y, 30);
    Release(80, 100, Qt::RightButton);
    EXPECT_TRUE(Strokes().Drawing());
    MoveTo(50, 100);  // left alone again: the preview follows
    EXPECT_EQ(LastStroke().End().x, 50);
    EXPECT_EQ(LastStroke().End().y, 100);
    Release(50, 100);
    EXPECT_FALSE(Strokes().Drawing());
    EXPECT_EQ(Pixel(35, 65), kRedRgb);
}

TEST_F(StrokeTest, ShiftAndCtrlConstrainTheEndPoint) {
    SlideToTool(3);
    Drag({20, 20}, {70, 30}, Qt::ControlModifier);  // horizontal
    EXPECT_EQ(LastStroke().End().x, 70);
    EXPECT_EQ(LastStroke().End().y, 20);
    EXPECT_EQ(Pixel(60, 20), kRedRgb);
    EXPECT_TRUE(Untouched(60, 28));

    Drag({20, 60}, {100, 90}, Qt::ShiftModifier);  // 45 degrees, the smaller extent
    EXPECT_EQ(LastStroke().End().x, 50);
    EXPECT_EQ(LastStroke().End().y, 90);

    Drag({20, 100}, {70, 110}, Qt::ShiftModifier | Qt::ControlModifier);  // nothing
    EXPECT_EQ(LastStroke().End().x, 70);
    EXPECT_EQ(LastStroke().End().y, 110);

    SlideToTool(2);
    Drag({0, 120}, {80, 150}, Qt::ShiftModifier);  // circle in the 30 x 30 square
    EXPECT_EQ(LastStroke().End().x, 30);
    EXPECT_EQ(LastStroke().End().y, 150);
    EXPECT_EQ(Pixel(15, 120), kRedRgb);
    EXPECT_EQ(Pixel(30, 135), kRedRgb);
    EXPECT_TRUE(Untouched(60, 135));

    Drag({100, 160}, {140, 170}, Qt::ControlModifier);  // Ctrl leaves the ellipse alone
    EXPECT_EQ(LastStroke().End().x, 140);
    EXPECT_EQ(LastStroke().End().y, 170);
}

TEST_F(StrokeTest, EveryPressPutsThePictureOnTheClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    SlideToTool(3);
    Drag({20, 20}, {100, 20});
    State().SetUndoReady(0);
    // A right click with the hand tool takes the snapshot too.
    SlideToTool(0);
    clipboard->clear();
    Press(50, 50, Qt::RightButton);
    Release(50, 50, Qt::RightButton);
    EXPECT_EQ(State().UndoReady(), 1);
    EXPECT_TRUE(SamePixels(clipboard->image(), Surface().Image()));
    EXPECT_EQ(Pixel(60, 20), kRedRgb);  // the snapshot holds the arrow

    // The next stroke's press puts the picture as it was before that stroke.
    SlideToTool(2);
    const QImage before = Surface().Image().copy();
    Drag({20, 60}, {120, 120});
    EXPECT_TRUE(SamePixels(clipboard->image(), before));
    EXPECT_FALSE(SamePixels(Surface().Image(), before));
}

TEST_F(StrokeTest, APressWritesTheClipboardOnceAsAnUndoSnapshotAndEncodesNothing) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    int changes = 0;
    const auto counter = QObject::connect(clipboard, &QClipboard::dataChanged, [&changes] { ++changes; });
    Press(30, 30, Qt::LeftButton);
    Release(30, 30, Qt::LeftButton);
    QObject::disconnect(counter);
    EXPECT_EQ(changes, 1);
    const platform::PictureMimeData* own = platform::OwnClipboardPicture();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Use(), platform::ClipboardUse::UndoSnapshot);
    EXPECT_EQ(own->Encodings(), 0);
}

TEST_F(StrokeTest, ASnapshotStillHeldIsNeverOverwrittenByTheNextPress) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    SlideToTool(3);
    Press(10, 10, Qt::RightButton);
    Release(10, 10, Qt::RightButton);
    const QImage held = clipboard->image();  // e.g. an undo that keeps it
    ASSERT_TRUE(SamePixels(held, original));
    Drag({20, 20}, {100, 20});
    const QImage afterArrow = Surface().Image().copy();
    Drag({20, 60}, {100, 60});
    EXPECT_TRUE(SamePixels(held, original));
    EXPECT_TRUE(SamePixels(clipboard->image(), afterArrow));
}

TEST_F(StrokeTest, ButtonFaceColourDrawsInTheButtonFaceRgb) {
    SlideToTool(3);
    State().SetCurrentColor(kSystemButtonFace);
    Drag({20, 40}, {120, 40});
    const QRgb face = QApplication::palette().color(QPalette::Button).rgb() & 0xFFFFFF;
    EXPECT_EQ(Pixel(70, 40), face);
    EXPECT_EQ(tools::ResolveColor(kSystemButtonFace), FromQColor(QColor(face)));
}

// A click commits a figure of zero size: for the arrow three lines from the
// click to itself, which the round 3-pixel pen draws as a dot centred on the
// click; the ellipse is not drawn at all.
TEST_F(StrokeTest, ClickWithTheArrowLeavesADotAndWithTheEllipseNothing) {
    for (const QPoint at : {QPoint(200, 100), QPoint(40, 60)}) {  // pattern, black
        SlideToTool(2);
        Press(at.x(), at.y());
        Release(at.x(), at.y());
        EXPECT_EQ(ChangedPixels(), 0) << "ellipse";
        EXPECT_FALSE(Strokes().Drawing());

        SlideToTool(3);
        Press(at.x(), at.y());
        Release(at.x(), at.y());
        EXPECT_FALSE(Strokes().Drawing());
        // The click and its four neighbours, nothing beyond the 3 x 3 square.
        EXPECT_EQ(ChangedPixels(), 5) << at.x();
        for (const QPoint d : {QPoint(0, 0), QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
            EXPECT_EQ(Pixel(at.x() + d.x(), at.y() + d.y()), kRedRgb)
                << at.x() << " + " << d.x() << "," << d.y();
        }
        Load(original);
    }
}

// The press dot and the zero-size preview at the press point are covered by
// the arrow's round tail: a drag in any direction leaves exactly the arrow.
TEST_F(StrokeTest, ArrowDragLeavesNothingButTheArrowAtItsStart) {
    SlideToTool(3);
    Drag({10, 10}, {20, 10});  // the pen the next press starts with: copy, red
    const QPoint from(200, 110);
    for (const QPoint to : {QPoint(260, 110), QPoint(160, 110), QPoint(200, 40), QPoint(200, 180),
                            QPoint(245, 155), QPoint(170, 70), QPoint(280, 130), QPoint(190, 200)}) {
        Load(original);
        Press(from.x(), from.y());
        MoveTo(from.x(), from.y());
        MoveTo((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        MoveTo(to.x(), to.y());
        Release(to.x(), to.y());
        const QImage dragged = Surface().Image().copy();
        Load(original);
        {
            canvas::PenState pen = Surface().Pen();
            pen.DrawMode = canvas::kDrawModeCopyPen;
            Surface().SetPen(pen);
        }
        tools::DrawArrow(Surface(), from.x(), from.y(), to.x(), to.y());
        EXPECT_TRUE(SamePixels(dragged, Surface().Image())) << "to " << to.x() << "," << to.y();
    }
}

TEST_F(StrokeTest, MovesWithoutAStrokeDrawNothing) {
    SlideToTool(3);
    MoveTo(40, 40);
    MoveTo(90, 90);
    EXPECT_EQ(ChangedPixels(), 0);
}

}  // namespace
}  // namespace tools_test
