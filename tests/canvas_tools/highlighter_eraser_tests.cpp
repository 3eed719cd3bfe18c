// Highlighter and eraser on the canvas, checked pixel by pixel, without the
// window.
#include "StartPictures.h"
#include "StrokeDriver.h"

namespace tools2_test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kBlue = 0x0000FF;
constexpr QRgb kYellow = 0xFFFF00;
constexpr COLORREF kYellowRef = 0x0000FFFF;

class ToolDriver : public test_support::StrokeDriver {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

class HighlighterTest : public ToolDriver {
  protected:
    void SetUp() override {
        ToolDriver::SetUp();
        State().SetCurrentTool(1);
        State().SetCurrentColor(kYellowRef);
    }
};

TEST_F(HighlighterTest, TintsWhiteKeepsBlackAndMasksBlue) {
    // A horizontal stroke across white, the black band and blue.
    Press(20, 50);
    MoveTo(40, 50);
    MoveTo(70, 50);
    MoveTo(110, 50);
    // The trail: the last point and the one before it.
    EXPECT_EQ(LastStroke().Start().x, 110);
    EXPECT_EQ(LastStroke().End().x, 70);
    Release(110, 50);
    EXPECT_EQ(Pixel(30, 50), kYellow);
    EXPECT_EQ(Pixel(30, 45), kYellow);  // 12 px wide: 5 px above the centre line
    EXPECT_EQ(Pixel(30, 38), kWhite);   // beyond the pen
    EXPECT_EQ(Pixel(70, 50), kBlack);
    EXPECT_EQ(Pixel(100, 50), kBlack);  // blue AND yellow
    EXPECT_EQ(Pixel(140, 50), kBlue);   // past the end of the stroke
    // Pen state left for the next stroke.
    EXPECT_EQ(Surface().Pen().DrawWidth, 12);
    EXPECT_EQ(Surface().Pen().DrawMode, canvas::kDrawModeMaskPen);
}

TEST_F(HighlighterTest, SameStrokeTwiceEqualsOnceAndWhiteChangesNothing) {
    Stroke({{10, 20}, {50, 30}, {120, 90}});
    const QImage once = Surface().Image().copy();
    Stroke({{10, 20}, {50, 30}, {120, 90}});
    EXPECT_EQ(Surface().Image(), once);

    State().SetCurrentColor(0x00FFFFFF);
    Stroke({{5, 100}, {190, 10}});
    EXPECT_EQ(Surface().Image(), once);

    // Black blackens the stroke area.
    State().SetCurrentColor(0x00000000);
    Stroke({{20, 120}, {40, 120}});
    EXPECT_EQ(Pixel(30, 120), kBlack);
}

TEST_F(HighlighterTest, ClickLeavesASpotOfPenWidthAndOverlapsAnd) {
    Press(30, 100);
    Release(30, 100);
    EXPECT_EQ(Pixel(30, 100), kYellow);
    EXPECT_EQ(Pixel(25, 95), kYellow);
    EXPECT_EQ(Pixel(35, 105), kYellow);
    EXPECT_EQ(Pixel(30, 88), kWhite);
    EXPECT_EQ(Pixel(43, 100), kWhite);
    // Cyan over the yellow spot gives green.
    State().SetCurrentColor(0x00FFFF00);
    Press(30, 100);
    Release(30, 100);
    EXPECT_EQ(Pixel(30, 100), 0x00FF00u);
}

TEST_F(HighlighterTest, FastStrokeIsAPolylineWithFilledCorners) {
    Stroke({{10, 130}, {50, 90}, {90, 130}});
    // On each straight segment and at the corner.
    EXPECT_EQ(Pixel(30, 110), kYellow);
    EXPECT_EQ(Pixel(50, 90), kYellow);
    EXPECT_EQ(Pixel(50, 86), kYellow);  // round join covers the corner's outside
    // Inside the V, away from both segments, nothing.
    EXPECT_EQ(Pixel(50, 125), kWhite);
}

TEST_F(HighlighterTest, RightButtonDoesNotDraw) {
    const QImage before = Surface().Image().copy();
    Press(30, 30, Qt::RightButton);
    MoveTo(50, 50);
    Release(50, 50, Qt::RightButton);
    EXPECT_EQ(Surface().Image(), before);
}

class EraserTest : public ToolDriver {};

TEST_F(EraserTest, RestoresReferenceBlocksAndLeavesGapsOnFastMoves) {
    const QImage original = Surface().Image().copy();
    // An arrow across the white area.
    State().SetCurrentTool(3);
    State().SetCurrentColor(0x000000FF);
    Stroke({{5, 60}, {55, 60}});
    ASSERT_NE(Pixel(30, 60), kWhite);

    State().SetCurrentTool(5);
    Press(10, 55);   // block x 10..23, y 55..65
    MoveTo(40, 55);  // block x 40..53: x 24..39 is skipped
    Release(40, 55);
    for (int y = 55; y < 66; ++y) {
        for (int x : {10, 16, 23, 40, 53})
            EXPECT_EQ(Pixel(x, y), original.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
    EXPECT_NE(Pixel(30, 60), kWhite);  // the gap keeps the arrow
    EXPECT_EQ(Surface().Pen().DrawMode, canvas::kDrawModeCopyPen);
}

TEST_F(EraserTest, BlockHangsRightAndBelowThePointerAndClipsAtTheEdges) {
    State().SetCurrentColor(0x00000000);
    State().SetCurrentTool(1);  // blacken a patch with the highlighter
    Stroke({{10, 10}, {40, 10}, {40, 40}, {10, 40}, {10, 25}, {40, 25}});
    const QImage marked = Surface().Image().copy();
    State().SetCurrentTool(5);
    Press(20, 20);
    Release(20, 20);
    EXPECT_EQ(Pixel(20, 20), kWhite);
    EXPECT_EQ(Pixel(33, 30), kWhite);
    EXPECT_EQ(Pixel(19, 20), marked.pixel(19, 20) & 0xFFFFFF);
    EXPECT_EQ(Pixel(34, 20), marked.pixel(34, 20) & 0xFFFFFF);
    EXPECT_EQ(Pixel(20, 31), marked.pixel(20, 31) & 0xFFFFFF);
    // At the lower right corner only the part inside the picture is copied.
    Press(195, 145);
    Release(195, 145);
    EXPECT_EQ(Surface().Image().size(), QSize(200, 150));
}

TEST_F(EraserTest, ErasesToTheReferencePictureNotToTheLastSnapshot) {
    // Drawn, then the reference is refreshed (as a save does): that drawing
    // is now part of what the eraser restores.
    State().SetCurrentTool(1);
    State().SetCurrentColor(0x00000000);
    Stroke({{20, 100}, {50, 100}});
    State().SetReference(Surface().Image());
    State().SetCurrentColor(kYellowRef);
    Stroke({{20, 80}, {50, 80}});
    State().SetCurrentTool(5);
    Stroke({{25, 96}, {25, 76}});
    EXPECT_EQ(Pixel(30, 100), kBlack);
    EXPECT_EQ(Pixel(30, 80), kWhite);
}

}  // namespace
}  // namespace tools2_test
