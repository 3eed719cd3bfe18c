// The hand tool pans a picture larger than the view panel, without the
// window: the scroll bars place the canvas as the window's handlers do.
#include "StartPictures.h"
#include "StrokeDriver.h"
#include "tools/ToolPointer.h"

namespace tools2_test {
namespace {

// What a pointer looks like: its shape, and its image for a custom one.
std::pair<int, QImage> CursorLook(const QCursor& c) {
    return {static_cast<int>(c.shape()), c.shape() == Qt::BitmapCursor ? c.pixmap().toImage() : QImage()};
}

class HandTest : public test_support::StrokeDriver {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
    void SetUp() override {
        StrokeDriver::SetUp();
        State().SetCurrentTool(tools::HandTool::kId);
        tools::ApplyToolPointer(Canvas(), State().ColorIndex(), &Hand());
        // A picture that fits: the bars are off.
        HorizontalScroll().setEnabled(false);
        VerticalScroll().setEnabled(false);
        // Their values are the canvas's distance from the panel's corner, twips.
        QObject::connect(&HorizontalScroll(), &QScrollBar::valueChanged, [this](int v) { host.left = -v; });
        QObject::connect(&VerticalScroll(), &QScrollBar::valueChanged, [this](int v) { host.top = -v; });
    }
    // A picture larger than the panel: the bars reach over the part outside.
    void LoadLarge() {
        Load(TestPicture(1500, 1200));
        HorizontalScroll().setRange(0, (1500 - 700) * 15);
        VerticalScroll().setRange(0, (1200 - 400) * 15);
        HorizontalScroll().setEnabled(true);
        VerticalScroll().setEnabled(true);
    }
    tools::HandTool& Hand() { return dynamic_cast<tools::HandTool&>(Tool(tools::HandTool::kId)); }
    int CanvasLeftTwips() const { return host.left; }
    int CanvasTopTwips() const { return host.top; }
};

TEST_F(HandTest, DragUsesTwipsAndTheGrabbingHandOnlyWhileHeld) {
    LoadLarge();
    const auto atRest = CursorLook(Canvas().MouseIcon());
    Press(100, 100);
    EXPECT_EQ(Hand().ScaleMode(), tools::HandTool::kScaleTwips);
    EXPECT_NE(CursorLook(Canvas().MouseIcon()), atRest);
    EXPECT_EQ(Hand().Panning(), -1);
    EXPECT_EQ(LastStroke().Start().x, 1500);  // 100 px in twips, canvas at Left 0
    Release(100, 100);
    EXPECT_EQ(Hand().ScaleMode(), tools::HandTool::kScalePixels);
    EXPECT_EQ(Hand().Panning(), 0);
    EXPECT_EQ(CursorLook(Canvas().MouseIcon()), atRest);
}

TEST_F(HandTest, EachMoveBringsTheViewAFifteenthOfTheWay) {
    LoadLarge();
    Press(300, 200);
    // 150 px to the left and 75 px up: the target is 2250 and 1125 twips.
    MoveTo(150, 125);
    EXPECT_EQ(HorizontalScroll().value(), 150);
    EXPECT_EQ(VerticalScroll().value(), 75);
    EXPECT_EQ(CanvasLeftTwips(), -150);
    EXPECT_EQ(CanvasTopTwips(), -75);
    // The pointer held still at the same place in the panel keeps pulling;
    // the canvas moved 10 px left and 5 px up under it.
    MoveTo(160, 130);
    EXPECT_EQ(HorizontalScroll().value(), 150 + 140);  // (2250 - 150) / 15
    EXPECT_EQ(VerticalScroll().value(), 75 + 70);      // (1125 - 75) / 15
    Release(160, 130);
}

TEST_F(HandTest, StopsAtMinimumAndMaximum) {
    LoadLarge();
    // Dragging right at the start cannot scroll below 0.
    Press(100, 100);
    MoveTo(400, 300);
    EXPECT_EQ(HorizontalScroll().value(), 0);
    EXPECT_EQ(VerticalScroll().value(), 0);
    Release(400, 300);
    // Dragging far left again and again ends at the maximum.
    for (int i = 0; i < 120; ++i) {
        Press(600, 500);
        MoveTo(1, 1);
        Release(1, 1);
    }
    EXPECT_EQ(HorizontalScroll().value(), HorizontalScroll().maximum());
    EXPECT_EQ(VerticalScroll().value(), VerticalScroll().maximum());
    EXPECT_EQ(CanvasLeftTwips(), -HorizontalScroll().maximum());
}

TEST_F(HandTest, PictureThatFitsDoesNotMove) {
    ASSERT_FALSE(HorizontalScroll().isEnabled());
    ASSERT_FALSE(VerticalScroll().isEnabled());
    const int h = HorizontalScroll().value(), v = VerticalScroll().value();
    Press(50, 50);
    MoveTo(10, 10);
    MoveTo(150, 120);
    Release(150, 120);
    EXPECT_EQ(HorizontalScroll().value(), h);
    EXPECT_EQ(VerticalScroll().value(), v);
    EXPECT_EQ(CanvasLeftTwips(), 0);
    EXPECT_EQ(CanvasTopTwips(), 0);
}

TEST_F(HandTest, RightButtonDoesNotStartADrag) {
    LoadLarge();
    Press(300, 300, Qt::RightButton);
    EXPECT_EQ(Hand().Panning(), 0);
    EXPECT_EQ(Hand().ScaleMode(), tools::HandTool::kScalePixels);
    Release(300, 300, Qt::RightButton);
}

}  // namespace
}  // namespace tools2_test
