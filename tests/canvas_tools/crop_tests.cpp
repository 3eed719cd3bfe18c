// Crop: arming with Check1, the selection frame, the cut and what follows.

#include "StartPictures.h"
#include "commands/ClipboardCommands.h"

namespace tools2_test {
namespace {

// A click on the crop button arms the crop.
void ArmCrop(QToolButton& button, tools::ToolSet& tools) {
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_TRUE(button.isChecked());
    ASSERT_EQ(tools.Crop().Armed(), -1);
}

class CropTest : public ToolSetFixture {
  protected:
    void SetUp() override {
        ToolSetFixture::SetUp();
        original = Surface().Image().copy();
    }
    void Arm() { ArmCrop(CropButton(), Tools()); }
    QWidget* FrameLine(int n) { return Canvas().findChild<QWidget*>(QStringLiteral("Line%1").arg(n)); }
    QImage Original(const QRect& r) const { return original.copy(r).convertToFormat(QImage::Format_RGB32); }

    QImage original;
};

TEST_F(CropTest, ArmingAndDisarmingChangesOnlyThePointer) {
    State().SetCurrentTool(5);
    Arm();
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCross);
    EXPECT_EQ(ViewPanel().MousePointer(), canvas::kPointerCross);
    EXPECT_EQ(QApplication::focusWidget(), &FocusSink());
    QTest::mouseClick(&CropButton(), Qt::LeftButton);
    EXPECT_FALSE(CropButton().isChecked());
    EXPECT_EQ(Tools().Crop().Armed(), 0);
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCustom);
    EXPECT_EQ(ViewPanel().MousePointer(), canvas::kPointerCustom);
    EXPECT_EQ(Surface().Image(), original);
    EXPECT_EQ(State().CurrentTool(), 5);
}

TEST_F(CropTest, EveryDragDirectionCutsTheSameArea) {
    const QRect area(140, 90, 40, 35);
    const std::pair<QPoint, QPoint> drags[] = {
        {area.topLeft(), area.topLeft() + QPoint(40, 35)},
        {area.topLeft() + QPoint(40, 35), area.topLeft()},
        {area.topLeft() + QPoint(40, 0), area.topLeft() + QPoint(0, 35)},
        {area.topLeft() + QPoint(0, 35), area.topLeft() + QPoint(40, 0)},
    };
    for (const auto& [from, to] : drags) {
        Load(original);
        Arm();
        Press(from.x(), from.y());
        MoveTo((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        MoveTo(to.x(), to.y());
        Release(to.x(), to.y());
        EXPECT_EQ(Surface().Picture().convertToFormat(QImage::Format_RGB32), Original(area))
            << "drag from " << from.x() << "," << from.y();
        EXPECT_EQ(Surface().Image(), Original(area));
        EXPECT_EQ(State().Reference(), Original(area));
    }
}

TEST_F(CropTest, FrameInvertsOnScreenAndLeavesNoTrace) {
    Arm();
    Press(20, 30);
    MoveTo(120, 100);
    // The picture itself is untouched while the frame is shown.
    EXPECT_EQ(Surface().Image(), original);
    for (int n = 1; n <= 4; ++n) {
        ASSERT_NE(FrameLine(n), nullptr);
        EXPECT_TRUE(FrameLine(n)->isVisible()) << n;
    }
    EXPECT_EQ(FrameLine(1)->geometry(), QRect(19, 29, 103, 3));  // along y = 30
    EXPECT_EQ(FrameLine(3)->geometry(), QRect(119, 32, 3, 67));  // along x = 120
    // On screen the frame shows the picture inverted: white under the top
    // line turns black, blue under the right line turns yellow.
    const QImage shown = Canvas().grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(40, 29) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(shown.pixel(121, 60) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(shown.pixel(40, 40) & 0xFFFFFF, 0xFFFFFFu);  // inside: as it is
    // The centre line stays visible over mid grey, where inverting alone
    // would hardly change anything.
    MoveTo(160, 110);
    const QImage overGrey = Canvas().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor centre(overGrey.pixel(155, 110));
    EXPECT_GT(std::abs(centre.red() - 0x80), 100);

    Release(160, 110);
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(FrameLine(n)->isVisible()) << n;
    EXPECT_EQ(Surface().Image(), Original(QRect(20, 30, 140, 80)));
}

TEST_F(CropTest, ClickOrRightClickCutsTheSinglePixelAndUndoBringsItBack) {
    Arm();
    Press(100, 0);
    Release(100, 0);
    ASSERT_EQ(Surface().Picture().size(), QSize(1, 1));
    EXPECT_EQ(Surface().Image().pixel(0, 0), original.pixel(100, 0));

    Load(original);
    Arm();
    Press(33, 0, Qt::RightButton);
    EXPECT_EQ(Tools().Crop().Dragging(), 0);
    MoveTo(90, 60);  // the frame does not follow a right drag
    Release(90, 60, Qt::RightButton);
    ASSERT_EQ(Surface().Picture().size(), QSize(1, 1));
    EXPECT_EQ(Surface().Image().pixel(0, 0), original.pixel(33, 0));

    // The press put the uncropped picture on the clipboard.
    Undo();
    QApplication::processEvents();
    EXPECT_EQ(Surface().Image().size(), original.size());
    EXPECT_EQ(Surface().Image(), original);
}

// The window puts the cut picture at the origin of its view panel and goes
// back to its centred place.
using CropWindowTest = EditorFixture;

TEST_F(CropWindowTest, AfterTheCutTheButtonIsUpTheToolPointerBackAndCanvasAtOrigin) {
    State().SetCurrentTool(3);
    Load(TestPicture(1500, 1200));
    // Start-up centred the window; the user then moved it aside.
    const QPoint centred = form->frameGeometry().topLeft();
    const QSize size = form->size();
    form->move(centred + QPoint(37, 23));
    QApplication::processEvents();
    ASSERT_NE(form->frameGeometry().topLeft(), centred);
    HorizontalScroll().setValue(600);
    ASSERT_EQ(CanvasLeftTwips(), -600);
    const int hValue = HorizontalScroll().value();
    ArmCrop(CropButton(), Tools());
    Press(100, 100);
    MoveTo(300, 250);
    Release(300, 250);
    EXPECT_FALSE(CropButton().isChecked());
    EXPECT_EQ(Tools().Crop().Armed(), 0);
    EXPECT_EQ(Tools().Crop().Dragging(), 0);
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCustom);
    EXPECT_EQ(Surface().Picture().size(), QSize(200, 150));
    EXPECT_EQ(CanvasLeftTwips(), 0);
    EXPECT_EQ(CanvasTopTwips(), 0);
    EXPECT_EQ(HorizontalScroll().value(), hValue);  // the scroll bars are left alone
    // The window goes back to the centred place, keeping its size: it is
    // not fitted to the smaller picture.
    EXPECT_EQ(form->frameGeometry().topLeft(), centred);
    EXPECT_EQ(form->size(), size);
}

TEST_F(CropTest, SelectionBeyondTheCanvasTakesTheBackgroundThere) {
    Arm();
    Press(190, 140);
    MoveTo(230, 170);
    Release(230, 170);
    ASSERT_EQ(Surface().Picture().size(), QSize(40, 30));
    EXPECT_EQ(Surface().Image().pixel(5, 5), original.pixel(195, 145));
    const QRgb background = ToQColor(tools::CropTool::kOutsideColor).rgb();
    EXPECT_EQ(Surface().Image().pixel(20, 5), background);
    EXPECT_EQ(Surface().Image().pixel(5, 20), background);
}

TEST_F(CropTest, AnnotationsInsideTheCutBecomePartOfTheReference) {
    const auto markAndCrop = [this] {
        Load(original);
        State().SetCurrentTool(1);
        State().SetCurrentColor(0x00000000);
        Stroke({{10, 40}, {50, 40}});  // black line on white, rows 34..45
        Arm();
        Press(0, 20);
        MoveTo(55, 60);
        Release(55, 60);
        ASSERT_EQ(Surface().Image().size(), QSize(55, 40));
        State().SetCurrentTool(5);
    };
    // Erasing over the line (now at rows 14..25) no longer removes it.
    markAndCrop();
    Press(20, 15);
    Release(20, 15);
    EXPECT_EQ(Pixel(25, 20), 0x000000u);

    // Undo brings the uncropped picture back, but the reference stays the
    // cropped one: erasing now paints pixels of the cropped picture, here its
    // copy of the line where the restored picture is white.
    markAndCrop();
    Undo();
    QApplication::processEvents();
    ASSERT_EQ(Surface().Image().size(), original.size());
    ASSERT_EQ(Pixel(25, 20), 0xFFFFFFu);
    Press(20, 15);
    Release(20, 15);
    EXPECT_EQ(Pixel(25, 20), 0x000000u);
    EXPECT_EQ(Pixel(25, 40), 0x000000u);  // the restored line itself
}

}  // namespace
}  // namespace tools2_test
