// The colour pop-up: press on the colours button, slide over the fields,
// release. The colour, the colour index and the icon variants follow.
#include "StartPictures.h"

namespace tools_test {
namespace {

using ColorPaletteTest = ToolSetFixture;

TEST_F(ColorPaletteTest, FieldsSitUnderTheColoursButtonInTheirColours) {
    Press(ColorsButton());
    EXPECT_TRUE(ColorPopup().isVisible());
    EXPECT_EQ(ColorPopup().geometry(), QRect(197, 25, 26, 105));
    for (int i = 0; i < static_cast<int>(tools::kPaletteColors.size()); ++i) {
        EXPECT_EQ(FromQColor(ColorField(i).palette().color(QPalette::Window)),
                  tools::kPaletteColors[static_cast<std::size_t>(i)]);
    }
    Release(ColorsButton());
}

TEST_F(ColorPaletteTest, SlidingWithTheHighlighterSwapsIconAndPointerOnEveryField) {
    const tools::ToolArt& art = tools::Art();
    SlideToTool(1);
    Press(ColorsButton());
    EXPECT_EQ(QApplication::focusWidget(), &FocusSink());
    for (int i = 0; i < 3; ++i) {
        MoveTo(ColorField(i));
        EXPECT_EQ(State().CurrentColor(), tools::kPaletteColors[static_cast<std::size_t>(i)]);
        EXPECT_EQ(State().ColorIndex(), i);
        EXPECT_TRUE(ToolsButtonShows(art.picMarker[static_cast<std::size_t>(i)])) << i;
        EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.MarkerPointer(i))) << i;
    }
    Release(ColorField(2));
    EXPECT_FALSE(ColorPopup().isVisible());
    EXPECT_EQ(State().CurrentColor(), 0x0000FFFFu);
}

TEST_F(ColorPaletteTest, WhiteUsesTheBlackVariant) {
    const tools::ToolArt& art = tools::Art();
    SlideToTool(1);
    SlideToColor(5);
    EXPECT_EQ(State().CurrentColor(), 0x00FFFFFFu);
    EXPECT_EQ(State().ColorIndex(), 5);
    EXPECT_TRUE(ToolsButtonShows(art.picMarker[4]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.MarkerPointer(4)));
    SlideToTool(4);
    SlideToColor(3);
    EXPECT_TRUE(ToolsButtonShows(art.piciText[3]));
}

TEST_F(ColorPaletteTest, ShapeToolsChangeOnlyTheButtonIconNotThePointer) {
    const tools::ToolArt& art = tools::Art();
    SlideToTool(2);
    SlideToColor(1);
    EXPECT_TRUE(ToolsButtonShows(art.picKreis[1]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.picCross));
    SlideToTool(3);
    SlideToColor(3);
    EXPECT_TRUE(ToolsButtonShows(art.piciArrow[3]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.picArrow));
}

TEST_F(ColorPaletteTest, HandAndEraserKeepTheirPicture) {
    const QImage hand = ToolsButtonPicture();
    SlideToColor(1);
    EXPECT_EQ(State().CurrentColor(), 0x0000FF00u);
    EXPECT_EQ(State().ColorIndex(), 1);
    EXPECT_TRUE(SamePixels(ToolsButtonPicture(), hand));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), tools::Art().picHand[0]));
}

TEST_F(ColorPaletteTest, ClickWithoutMovingOpensAndClosesAndKeepsTheColour) {
    SlideToColor(3);
    QTest::mouseClick(&ColorsButton(), Qt::LeftButton);
    EXPECT_FALSE(ColorPopup().isVisible());
    EXPECT_EQ(State().CurrentColor(), 0x00FFFF00u);
    EXPECT_EQ(State().ColorIndex(), 3);
}

TEST_F(ColorPaletteTest, OpeningOneCloseTheOther) {
    Press(ToolsButton());
    Release(ViewPanel(), QPoint(400, 280));
    ASSERT_TRUE(ToolPopup().isVisible());
    Press(ColorsButton());
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_TRUE(ColorPopup().isVisible());
    // Sliding back over the tools button closes the colour panel.
    MoveTo(ToolsButton());
    EXPECT_FALSE(ColorPopup().isVisible());
    Release(ToolsButton());
}

TEST_F(ColorPaletteTest, ReleaseInTheGapLeavesThePanelOpenAndHoverStillChooses) {
    Press(ColorsButton());
    MoveTo(ColorField(0));
    Release(ViewPanel(), QPoint(400, 280));
    EXPECT_TRUE(ColorPopup().isVisible());
    MoveTo(ColorField(4));
    EXPECT_EQ(State().CurrentColor(), 0x00000000u);
    MoveTo(ColorField(1));
    EXPECT_EQ(State().CurrentColor(), 0x0000FF00u);
    EXPECT_TRUE(ColorPopup().isVisible());
    // A release on the canvas closes it.
    Press(10, 10, Qt::RightButton);
    Release(10, 10, Qt::RightButton);
    EXPECT_FALSE(ColorPopup().isVisible());
}

}  // namespace
}  // namespace tools_test
