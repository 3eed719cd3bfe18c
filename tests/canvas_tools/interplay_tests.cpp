// Where two parts of the tool set meet: an open text box and the tool
// pop-up, crop mode and the colour pop-up, the hand on a scrolled picture.
#include "StartPictures.h"

namespace tools_test {
namespace {

class InterplayTest : public ToolsFixture {};

TEST_F(InterplayTest, SlidingToAnotherToolCommitsTheOpenTextInTheColourBeforeIt) {
    SlideToTool(4);
    SlideToColor(1);  // green
    Press(20, 30);
    Release(20, 30);
    QLineEdit& box = Tools().Text().txtText;
    ASSERT_TRUE(box.isVisible());
    QTest::keyClicks(&box, QStringLiteral("Hallo"));

    SlideToTool(3);  // the arrow turns the colour red on the way
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(form->State().CurrentColor(), 0x000000FFu);
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
    QTest::mouseClick(&ui->Check1, Qt::LeftButton);
    ASSERT_EQ(Canvas().MousePointer(), canvas::kPointerCross);
    SlideToColor(3);  // cyan: the highlighter icon follows, the pointer kind does not
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCross);
    EXPECT_TRUE(Command2Shows(tools::Art().picMarker[3]));

    // Disarming applies the tool-pointer rule: the yellow highlighter for the
    // first four colours, on the canvas and on the view panel.
    QTest::mouseClick(&ui->Check1, Qt::LeftButton);
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCustom);
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), tools::Art().MarkerPointer(2)));
    EXPECT_EQ(ui->Picture3.MousePointer(), canvas::kPointerCustom);
    EXPECT_TRUE(SameCursor(ui->Picture3.MouseIcon(), tools::Art().MarkerPointer(2)));
}

TEST_F(InterplayTest, HandOnAScrolledPictureStartsFromThePanelPosition) {
    QImage big(1500, 1200, QImage::Format_RGB32);
    big.fill(Qt::white);
    form->ReplacePicture(big, AfterReplace::Layout);
    ASSERT_TRUE(ui->HScroll1.isEnabled());
    ui->HScroll1.setValue(3000);
    SlideToTool(0);
    Press(300, 100);
    EXPECT_EQ(form->State().Stroke().lngStartX, 300 * 15 - 3000);  // in the view panel's twips
    EXPECT_EQ(Tools().Hand().PanLeft(), -3000);
    MoveTo(270, 100);                            // 30 px to the left: 450 twips
    EXPECT_EQ(ui->HScroll1.value(), 3000 + 30);  // a fifteenth of the way
    EXPECT_EQ(form->Picture2LeftTwips(), -3030);
    Release(270, 100);
    EXPECT_EQ(Tools().Hand().ScaleMode(), tools::HandTool::kScalePixels);
}

}  // namespace
}  // namespace tools_test
