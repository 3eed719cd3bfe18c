// The tool pop-up: press on the tools button, slide over the tool buttons,
// release. Tools, colours, the tools-button icon and the pointers follow.
#include "StartPictures.h"

namespace tools_test {
namespace {

constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kYellow = 0x0000FFFF;

using ToolPaletteTest = ToolSetFixture;
// What the window adds: it closes the pop-ups when the pointer crosses its
// bare tool bar, and names the colours button after the colour.
using ToolPaletteWindowTest = ToolsFixture;

TEST_F(ToolPaletteTest, StartsWithTheHandAndItsPointers) {
    const tools::ToolArt& art = tools::Art();
    EXPECT_EQ(State().CurrentTool(), 0);
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_EQ(ToolPopup().geometry(), QRect(173, 25, 26, 150));
    // The program's tools, in the order of their ids.
    const char* const tips[] = {"Hand", "Marker", "Kreis", "Pfeil", "Text", "Radierer"};
    ASSERT_EQ(tools::PaletteCatalogue().size(), std::size(tips));
    for (int i = 0; i < static_cast<int>(std::size(tips)); ++i) {
        EXPECT_EQ(ToolButton(i).geometry(), QRect(0, 25 * i, 26, 25));
        EXPECT_EQ(ToolButton(i).toolTip(), QString::fromLatin1(tips[i]));
    }
    EXPECT_TRUE(ToolsButtonShows(art.handPicture));
    EXPECT_EQ(Canvas().MousePointer(), canvas::kPointerCustom);
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.picHand[0]));
    EXPECT_TRUE(SameCursor(ViewPanel().MouseIcon(), art.picHand[0]));
}

TEST_F(ToolPaletteTest, SlidingDownChoosesEachToolOnTheWayAndReleaseClosesThePanel) {
    const tools::ToolArt& art = tools::Art();
    Press(ToolsButton());
    EXPECT_TRUE(ToolPopup().isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &FocusSink());

    MoveTo(ToolButton(1));
    EXPECT_EQ(State().CurrentTool(), 1);
    EXPECT_EQ(State().CurrentColor(), kYellow);
    EXPECT_TRUE(ToolsButtonShows(art.picMarker[2]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.MarkerPointer(2)));
    // The highlighter pointer's hot spot is the pen tip.
    EXPECT_EQ(Canvas().MouseIcon().hotSpot(), art.markerHotSpot);

    MoveTo(ToolButton(2));
    EXPECT_EQ(State().CurrentTool(), 2);
    EXPECT_EQ(State().CurrentColor(), kRed);
    EXPECT_TRUE(ToolsButtonShows(art.picKreis[0]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.picCross));

    MoveTo(ToolButton(3));
    EXPECT_TRUE(ToolPopup().isVisible());
    Release(ToolButton(3));
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_EQ(State().CurrentTool(), 3);
    EXPECT_EQ(State().CurrentColor(), kRed);
    EXPECT_TRUE(ToolsButtonShows(art.piciArrow[0]));
    EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), art.picArrow));
    EXPECT_TRUE(SameCursor(ViewPanel().MouseIcon(), art.picArrow));
    EXPECT_EQ(ViewPanel().MousePointer(), canvas::kPointerCustom);
    // Sliding chooses the tool without making its button look pressed.
    EXPECT_FALSE(ToolButton(3).isChecked());
    EXPECT_FALSE(ToolsButton().isDown());
}

TEST_F(ToolPaletteTest, EveryToolGetsItsOwnPointerOnCanvasAndViewPanel) {
    const tools::ToolArt& art = tools::Art();
    const QCursor expected[] = {art.picHand[0], art.MarkerPointer(2), art.picCross,
                                art.picArrow,   art.picText,          art.picEraser};
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        SlideToTool(i);
        EXPECT_EQ(State().CurrentTool(), i);
        EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), expected[i])) << i;
        EXPECT_TRUE(SameCursor(ViewPanel().MouseIcon(), expected[i])) << i;
    }
}

TEST_F(ToolPaletteTest, ClickOnTheToolsButtonOpensAndClosesWithoutChangingTheTool) {
    SlideToTool(3);
    QTest::mouseClick(&ToolsButton(), Qt::LeftButton);
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_EQ(State().CurrentTool(), 3);
    // Any button opens it.
    Press(ToolsButton(), Qt::RightButton);
    EXPECT_TRUE(ToolPopup().isVisible());
    Release(ToolsButton(), Qt::RightButton);
    EXPECT_FALSE(ToolPopup().isVisible());
}

TEST_F(ToolPaletteTest, HighlighterAlwaysTurnsTheColourYellowUnlessBlackOrWhiteIsChosen) {
    for (int c : {0, 1, 3}) {
        SlideToColor(c);
        SlideToTool(1);
        EXPECT_EQ(State().CurrentColor(), kYellow) << c;
    }
    for (int c : {4, 5}) {
        SlideToColor(c);
        SlideToTool(1);
        EXPECT_EQ(State().CurrentColor(), tools::kPaletteColors[static_cast<std::size_t>(c)]) << c;
        EXPECT_TRUE(ToolsButtonShows(tools::Art().picMarker[4]));
        EXPECT_TRUE(SameCursor(Canvas().MouseIcon(), tools::Art().MarkerPointer(4)));
    }
}

TEST_F(ToolPaletteTest, HandAndEraserSetTheButtonFaceOnlyForTheFirstFourColours) {
    SlideToColor(1);
    SlideToTool(5);
    EXPECT_EQ(State().CurrentColor(), kSystemButtonFace);
    EXPECT_TRUE(ToolsButtonShows(tools::Art().eraserPicture));
    SlideToTool(2);
    EXPECT_EQ(State().CurrentColor(), kRed);
    // With black chosen the hand leaves the colour and drawing tools keep it.
    SlideToColor(4);
    SlideToTool(0);
    EXPECT_EQ(State().CurrentColor(), 0x00000000u);
    EXPECT_TRUE(ToolsButtonShows(tools::Art().handPicture));
    SlideToTool(3);
    EXPECT_EQ(State().CurrentColor(), 0x00000000u);
    EXPECT_TRUE(ToolsButtonShows(tools::Art().piciArrow[4]));
}

TEST_F(ToolPaletteTest, SizePanelFollowsTheToolOnlyAtTheRelease) {
    QWidget& sizePanel = test_support::Control<QWidget>(Window(), QStringLiteral("frmSize"));
    Press(ToolsButton());
    MoveTo(ToolButton(4));
    EXPECT_EQ(State().CurrentTool(), 4);
    EXPECT_FALSE(sizePanel.isVisible());
    Release(ToolButton(4));
    EXPECT_TRUE(sizePanel.isVisible());

    // Passing the text tool on the way to another one hides it.
    Press(ToolsButton());
    MoveTo(ToolButton(4));
    MoveTo(ToolButton(5));
    Release(ToolButton(5));
    EXPECT_FALSE(sizePanel.isVisible());
}

TEST_F(ToolPaletteWindowTest, ReleaseOutsideKeepsThePanelOpenUntilTheToolBarIsCrossed) {
    Press(ToolsButton());
    MoveTo(ToolButton(2));
    // Release in the view panel, below the canvas.
    Release(ViewPanel(), QPoint(400, 280));
    EXPECT_TRUE(ToolPopup().isVisible());
    // Hovering without a button still chooses.
    MoveTo(ToolButton(5));
    EXPECT_EQ(State().CurrentTool(), 5);
    MoveTo(ToolButton(1));
    EXPECT_EQ(State().CurrentTool(), 1);
    // The bare tool bar strip closes it.
    MoveTo(ToolbarStrip(), QPoint(700, 15));
    EXPECT_FALSE(ToolPopup().isVisible());
}

TEST_F(ToolPaletteTest, FullClickOnAToolButtonSelectsItAndMovesTheFocusAway) {
    // Open the panel and let go outside it, then click a tool button.
    Press(ToolsButton());
    MoveTo(ViewPanel(), QPoint(400, 280));
    Release(ViewPanel(), QPoint(400, 280));
    ASSERT_TRUE(ToolPopup().isVisible());
    MoveTo(ToolButton(2));
    QTest::mouseClick(&ToolButton(2), Qt::LeftButton);
    EXPECT_TRUE(ToolButton(2).isChecked());
    EXPECT_EQ(State().CurrentTool(), 2);
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &FocusSink());
}

TEST_F(ToolPaletteTest, MovingOverTheToolsButtonClosesTheColourPanel) {
    Press(ColorsButton());
    Release(ViewPanel(), QPoint(400, 280));
    ASSERT_TRUE(ColorPopup().isVisible());
    MoveTo(ToolsButton());
    EXPECT_FALSE(ColorPopup().isVisible());
}

TEST_F(ToolPaletteTest, ReleaseOnTheCanvasClosesBothPanelsWithoutDrawing) {
    SlideToTool(3);
    const QImage before = Surface().Image().copy();
    Press(ToolsButton());
    MoveTo(Canvas(), QPoint(60, 60));
    Release(Canvas(), QPoint(60, 60));
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_FALSE(Tools().Strokes().Drawing());
    EXPECT_TRUE(SamePixels(Surface().Image(), before));
}

}  // namespace
}  // namespace tools_test

namespace tools_test {
namespace {

// The keyboard's way through the pop-ups: Space, Enter or Down on the button
// opens it on the current item, the arrow keys move, Enter or Space chooses as
// a release over the item does, Escape closes without a change; the keyboard
// goes back to the button, whose name says what is chosen (the window names
// the colours button after the current colour).
TEST_F(ToolPaletteWindowTest, TheKeyboardOpensMovesChoosesAndCancelsInBothPopUps) {
    struct Case {
        const char* name;
        bool colors;
        Qt::Key open;
        std::vector<Qt::Key> keys;
        int tool;            // the current tool afterwards
        COLORREF color;      // the current colour afterwards
        const char* button;  // the button's name afterwards
    };
    const Case cases[] = {
        {"arrow by Space, Down x3, Enter",
         false,
         Qt::Key_Space,
         {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return},
         3,
         kRed,
         "Werkzeuge: Pfeil"},
        {"eraser (button-face colour) by Down, Up, Space",
         false,
         Qt::Key_Down,
         {Qt::Key_Up, Qt::Key_Space},
         5,
         0x8000000F,
         "Werkzeuge: Radierer"},
        {"tools, Escape changes nothing",
         false,
         Qt::Key_Return,
         {Qt::Key_Down, Qt::Key_Escape},
         0,
         kYellow,
         "Werkzeuge: Hand"},
        {"green by Space, Up, Enter",
         true,
         Qt::Key_Space,
         {Qt::Key_Up, Qt::Key_Return},
         0,
         0x0000FF00,
         "Farben: Grün"},
        {"colours, Escape changes nothing",
         true,
         Qt::Key_Space,
         {Qt::Key_Down, Qt::Key_Escape},
         0,
         kYellow,
         "Farben: Gelb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlideToTool(0);
        SlideToColor(2);
        QToolButton& button = c.colors ? ColorsButton() : ToolsButton();
        QWidget& panel = c.colors ? static_cast<QWidget&>(ColorPopup()) : ToolPopup();
        form->show();
        button.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&button, c.open);
        ASSERT_TRUE(panel.isVisible());
        // The current item has the keyboard: the hand, or the yellow field.
        EXPECT_EQ(QApplication::focusWidget(),
                  c.colors ? static_cast<QWidget*>(&ColorField(2)) : &ToolButton(0));
        for (const Qt::Key key : c.keys) QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(panel.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), &button);
        EXPECT_EQ(State().CurrentTool(), c.tool);
        EXPECT_EQ(State().CurrentColor(), c.color);
        EXPECT_EQ(button.accessibleName(), QString::fromUtf8(c.button));
    }
}

}  // namespace
}  // namespace tools_test
