// A tool added to the catalogue takes its place in the tool pop-up and on the
// canvas with nothing else changed: a tool set made from the program's list
// and one more entry, over bare controls instead of the editor window.
#include <QPainter>
#include <vector>

#include "StartPictures.h"
#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"

namespace {

using test_support::SamePixels;

// A tool only this test knows: a green square as its picture, and a record
// of the presses it was handed.
class PenTool : public tools::PaletteTool {
  public:
    struct Presses {
        int count = 0;
        geometry::IntPoint start;
        int button = 0;
    };
    explicit PenTool(Presses& presses) : presses_(presses) {}

    void Press(tools::Stroke& stroke, const tools::ToolEvent& event) override {
        ++presses_.count;
        presses_.start = stroke.Start();
        presses_.button = event.button;
    }
    std::optional<QCursor> Pointer(int /*variant*/) const override { return QCursor(Qt::PointingHandCursor); }
    const QPixmap& Look(int /*variant*/) const override { return Picture(); }
    COLORREF ChosenColor() const override { return 0x00FF0000; }  // blue

    static const QPixmap& Picture() {
        static const QPixmap picture = [] {
            QPixmap p(32, 32);
            p.fill(Qt::transparent);
            QPainter(&p).fillRect(8, 8, 16, 16, Qt::green);
            return p;
        }();
        return picture;
    }

  private:
    Presses& presses_;
};

class SeventhTool : public test_support::BareToolSetFixture {
  protected:
    SeventhTool() {
        const tools::ToolCatalogue program = tools::PaletteCatalogue();
        entries.assign(program.begin(), program.end());
        penId = static_cast<int>(entries.size());
        entries.push_back({penId, "Stift", [this](const tools::ToolParts& /*parts*/) {
                               return std::make_unique<PenTool>(presses);
                           }});
    }
    QImage StartPicture() const override { return test_support::Solid(120, 80, Qt::white); }
    tools::ToolCatalogue Catalogue() const override { return entries; }

    std::vector<tools::ToolEntry> entries;
    int penId = 0;
    PenTool::Presses presses;
};

TEST_F(SeventhTool, IsDrawnInThePopUpChosenBySlideAndByKeyboardAndHandedTheCanvasPress) {
    // Its button below the others, with its name and its picture; the
    // pop-up grows by one button.
    ASSERT_EQ(ToolPopup().findChildren<QToolButton*>().size(), entries.size());
    QToolButton& button = ToolButton(penId);
    EXPECT_EQ(button.toolTip(), QStringLiteral("Stift"));
    EXPECT_EQ(button.geometry(), QRect(0, 25 * penId, 26, 25));
    EXPECT_EQ(ToolPopup().height(), 25 * (penId + 1));
    const QIcon icon = button.icon();
    EXPECT_TRUE(SamePixels(icon.pixmap(icon.availableSizes().value(0)).toImage(),
                           tools::ButtonPicture(PenTool::Picture()).toImage()));

    // Press on the tools button, slide onto the pen, let go.
    QTest::mousePress(&ToolsButton(), Qt::LeftButton);
    ASSERT_TRUE(ToolPopup().isVisible());
    QTest::mouseMove(&button);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_FALSE(ToolPopup().isVisible());
    EXPECT_EQ(State().CurrentTool(), penId);
    EXPECT_EQ(State().CurrentColor(), 0x00FF0000u);
    EXPECT_EQ(ToolsButton().accessibleName(), QStringLiteral("Werkzeuge: Stift"));

    // The keyboard: from the hand, Up wraps round to the last tool.
    State().SetCurrentTool(0);
    ToolsButton().setFocus(Qt::TabFocusReason);
    QTest::keyClick(&ToolsButton(), Qt::Key_Space);
    ASSERT_TRUE(ToolPopup().isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), &button);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(State().CurrentTool(), penId);

    // A left press on the canvas starts its stroke.
    QTest::mousePress(&Canvas(), Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseRelease(&Canvas(), Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(presses.count, 1);
    EXPECT_EQ(presses.start, (geometry::IntPoint{30, 20}));
    EXPECT_EQ(presses.button, 1);
}

}  // namespace
