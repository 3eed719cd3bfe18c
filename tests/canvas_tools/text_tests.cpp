// The text tool: the floating box, its keys, commit and discard, moving it,
// the size panel.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "StartPictures.h"

namespace tools2_test {
namespace {

constexpr COLORREF kRedRef = 0x000000FF;
constexpr QRgb kRed = 0xFF0000;

class TextTest : public ToolSetFixture {
  protected:
    void SetUp() override {
        ToolSetFixture::SetUp();
        State().SetCurrentTool(4);
        State().SetCurrentColor(kRedRef);
        box = Canvas().findChild<QLineEdit*>(QStringLiteral("txtText"));
        label = Canvas().findChild<QLabel*>(QStringLiteral("lblTextSize"));
        panel = Window().findChild<QGroupBox*>(QStringLiteral("frmSize"));
        ASSERT_NE(box, nullptr);
        ASSERT_NE(label, nullptr);
        ASSERT_NE(panel, nullptr);
        before = Surface().Image().copy();
    }

    void OpenAt(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    QRadioButton* Option(int i) {
        return panel->findChild<QRadioButton*>(QStringLiteral("optSize%1").arg(i));
    }

    // Bounding box of the pixels that differ from `before`.
    QRect Changed() {
        QRect r;
        const QImage& now = State().Canvas().Image();
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != before.pixel(x, y)) r |= QRect(x, y, 1, 1);
        return r;
    }
    bool HasPixel(QRgb colour, const QRect& in) {
        for (int y = in.top(); y <= in.bottom(); ++y)
            for (int x = in.left(); x <= in.right(); ++x)
                if ((State().Canvas().Image().pixel(x, y) & 0xFFFFFF) == colour) return true;
        return false;
    }

    QLineEdit* box = nullptr;
    QLabel* label = nullptr;
    QGroupBox* panel = nullptr;
    QImage before;
};

TEST_F(TextTest, EnterDrawsTheWordInTheCurrentColourAtThePressPoint) {
    OpenAt(20, 30);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->geometry(), QRect(20, 30, 8, 20));
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(Surface().Image(), before);  // nothing drawn while typing

    QTest::keyClicks(box, QStringLiteral("Hallo"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("Hallo"));  // no line break reached it
    EXPECT_EQ(QApplication::focusWidget(), &Canvas());
    const QRect drawn = Changed();
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_GE(drawn.left(), 20);
    EXPECT_GE(drawn.top(), 30);
    EXPECT_GT(drawn.width(), 30);  // five bold letters of 12 points
    EXPECT_LT(drawn.bottom(), 30 + 25);
    EXPECT_TRUE(HasPixel(kRed, drawn));
}

TEST_F(TextTest, EscapeDiscardsAndEmptyCommitDrawsNothing) {
    OpenAt(20, 30);
    QTest::keyClicks(box, QStringLiteral("weg"));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &Canvas());
    EXPECT_EQ(Surface().Image(), before);

    OpenAt(40, 40);
    EXPECT_TRUE(box->text().isEmpty());  // a new box starts empty
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Surface().Image(), before);
}

TEST_F(TextTest, DoubleClickAndFocusLossCommit) {
    OpenAt(20, 30);
    QTest::keyClicks(box, QStringLiteral("Eins"));
    QTest::mouseDClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(Changed().intersects(QRect(20, 30, 60, 20)));

    // A click into the picture name field takes the focus and commits; the
    // field keeps the focus.
    OpenAt(20, 80);
    QTest::keyClicks(box, QStringLiteral("Zwei"));
    QTest::mouseClick(&NameBox(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(Changed().intersects(QRect(20, 80, 60, 20)));
    EXPECT_EQ(QApplication::focusWidget(), &NameBox());

    // The focus sink taking the focus (any tool-bar press) commits too.
    OpenAt(20, 110);
    QTest::keyClicks(box, QStringLiteral("Drei"));
    host.MoveFocusToDummy();
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(Changed().intersects(QRect(20, 110, 60, 20)));

    // So does a press on the dark panel around the picture, which takes no focus.
    OpenAt(20, 140);
    QTest::keyClicks(box, QStringLiteral("Vier"));
    const QPoint panel(ViewPanel().width() - 2, ViewPanel().height() - 2);
    ASSERT_EQ(ViewPanel().childAt(panel), nullptr);
    QTest::mouseClick(&ViewPanel(), Qt::LeftButton, {}, panel);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(Changed().intersects(QRect(20, 140, 60, 20)));
}

// Whether or not the canvas takes the focus on a click, a press on it moves
// the open box with its text instead of committing.
class TextMoveTest : public TextTest, public ::testing::WithParamInterface<Qt::FocusPolicy> {};

TEST_P(TextMoveTest, PressOnTheCanvasMovesTheOpenBoxWithItsText) {
    Canvas().setFocusPolicy(GetParam());
    OpenAt(20, 30);
    QTest::keyClicks(box, QStringLiteral("Ab"));
    const QSize size = box->size();
    OpenAt(100, 80);
    QApplication::processEvents();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->pos(), QPoint(100, 80));
    EXPECT_EQ(box->size(), size);
    EXPECT_EQ(box->text(), QStringLiteral("Ab"));
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(Surface().Image(), before);

    QTest::keyClick(box, Qt::Key_Return);
    const QRect drawn = Changed();
    EXPECT_GE(drawn.left(), 100);
    EXPECT_GE(drawn.top(), 80);

    // A right press is no text press. A canvas that takes the focus takes it
    // from the box, which commits at the release; one that does not leaves
    // the box open.
    before = Surface().Image().copy();
    OpenAt(20, 110);
    QTest::keyClicks(box, QStringLiteral("Cd"));
    Press(150, 20, Qt::RightButton);
    EXPECT_EQ(Surface().Image(), before);
    Release(150, 20, Qt::RightButton);
    const bool takesFocus = GetParam() != Qt::NoFocus;
    EXPECT_EQ(box->isVisible(), !takesFocus);
    EXPECT_EQ(Changed().intersects(QRect(20, 110, 40, 20)), takesFocus);
}

INSTANTIATE_TEST_SUITE_P(CanvasFocus, TextMoveTest, ::testing::Values(Qt::NoFocus, Qt::ClickFocus));

TEST_F(TextTest, BoxGrowsWithTheMeasuredTextPlusAMarginLetter) {
    OpenAt(10, 10);
    QTest::keyClicks(box, QStringLiteral("Wort"));
    const QFontMetrics fm(label->font());
    EXPECT_EQ(box->size(), label->size());
    EXPECT_EQ(label->text(), QStringLiteral("WortO"));
    EXPECT_NEAR(box->width(), fm.horizontalAdvance(QStringLiteral("WortO")), 2);
    EXPECT_NEAR(box->height(), fm.height(), 2);
    // While a key is down the margin letter is "M" (measured before the key).
    QTest::keyPress(box, Qt::Key_S);
    EXPECT_EQ(label->text(), QStringLiteral("WortM"));
    QTest::keyRelease(box, Qt::Key_S);
    EXPECT_EQ(label->text(), QStringLiteral("WortsO"));
    // The measuring font does not follow the text size.
    const QFont measuring = label->font();
    QTest::mousePress(Option(2), Qt::LeftButton);
    QTest::mouseRelease(Option(2), Qt::LeftButton);
    EXPECT_EQ(label->font(), measuring);
    EXPECT_TRUE(label->font().bold());
}

// Measured in one font whatever the text size, the box holds text of the
// middle size without scrolling its first letters out of view; it is wider
// than size-10 text and too narrow for longer size-14 text.
TEST_F(TextTest, TheMeasuredBoxHoldsMiddleSizeTextButNotTheLargest) {
    const QString text = QStringLiteral("Beschriftung am Rand");
    int previousSlack = 1 << 20;
    for (const int option : {0, 1, 2}) {
        SCOPED_TRACE(option);
        QTest::mousePress(Option(option), Qt::LeftButton);
        QTest::mouseRelease(Option(option), Qt::LeftButton);
        OpenAt(10, 10);
        QTest::keyClicks(box, text);
        box->repaint();
        const int end = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        box->home(false);
        box->repaint();
        // Less than the text's width when the text had scrolled.
        const int shown = end - box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        const int needed = QFontMetrics(box->font()).horizontalAdvance(text);
        if (option < 2) {
            EXPECT_NEAR(shown, needed, 1);
        } else {
            EXPECT_LT(shown, needed - 1);
        }
        const int slack = box->width() - needed;
        EXPECT_LT(slack, previousSlack);
        previousSlack = slack;
        QTest::keyClick(box, Qt::Key_Escape);
    }
}

TEST_F(TextTest, SizeOptionsSetCanvasAndOpenBoxAtOnce) {
    ASSERT_TRUE(Option(1)->isChecked());
    EXPECT_EQ(Surface().Font().pointSize(), 12);
    OpenAt(10, 10);
    QTest::mousePress(Option(2), Qt::LeftButton);  // selected on the press
    EXPECT_TRUE(Option(2)->isChecked());
    EXPECT_FALSE(Option(1)->isChecked());
    EXPECT_EQ(Surface().Font().pointSize(), 14);
    EXPECT_EQ(box->font().pointSize(), 14);
    EXPECT_TRUE(box->font().bold());
    QTest::mouseRelease(Option(2), Qt::LeftButton);
    QTest::keyClicks(box, QStringLiteral("H"));
    QTest::keyClick(box, Qt::Key_Return);
    const int tall = Changed().height();

    before = Surface().Image().copy();
    QTest::mousePress(Option(0), Qt::LeftButton);
    QTest::mouseRelease(Option(0), Qt::LeftButton);
    EXPECT_EQ(Surface().Font().pointSize(), 10);
    OpenAt(100, 10);
    EXPECT_EQ(box->font().pointSize(), 10);
    QTest::keyClicks(box, QStringLiteral("H"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_LT(Changed().height(), tall);
}

TEST_F(TextTest, SizePanelDragsWithTheLeftButtonOnly) {
    panel->show();
    const QPoint start = panel->pos();
    QTest::mousePress(panel, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseMove(panel, QPoint(25, 15));
    QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(25, 15));
    EXPECT_EQ(panel->pos(), start);

    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(panel, QPoint(25, 15));
    EXPECT_EQ(panel->pos(), start + QPoint(20, 10));
    // The pointer keeps its place on the panel: the same panel position moves
    // nothing further.
    QTest::mouseMove(panel, QPoint(5, 5));
    EXPECT_EQ(panel->pos(), start + QPoint(20, 10));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(TextTest, ToolBarPressCommitsInTheColourCurrentBeforeIt) {
    OpenAt(20, 30);
    QTest::keyClicks(box, QStringLiteral("Rot"));
    QTest::mousePress(&ColorsButton(), Qt::LeftButton);
    // The palette changes the colour after the press (a move over a field).
    State().SetCurrentColor(0x0000FF00);
    QTest::mouseRelease(&ColorsButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(box->isVisible());
    const QRect drawn = Changed();
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_TRUE(HasPixel(kRed, drawn));
    EXPECT_FALSE(HasPixel(0x00FF00, drawn));
    // The box itself never took the drawing colour.
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(Qt::black));
}

}  // namespace
}  // namespace tools2_test
