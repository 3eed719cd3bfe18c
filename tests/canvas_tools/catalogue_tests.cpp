// A tool added to the catalogue takes its place in the tool pop-up and on the
// canvas with nothing else changed: a tool set made from the program's list
// and one more entry, over bare controls instead of the editor window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <vector>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "support/FakeHosts.h"
#include "support/TestPictures.h"
#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"
#include "tools/ToolHost.h"
#include "tools/ToolSet.h"
#include "tools/art/ToolArt.h"

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

class SeventhTool : public ::testing::Test {
  protected:
    void SetUp() override {
        window.resize(400, 300);
        strip.setGeometry(0, 0, 400, 25);
        toolsButton.setGeometry(150, 0, 23, 25);
        colorsButton.setGeometry(197, 0, 23, 25);
        cropButton.setGeometry(100, 0, 23, 25);
        cropButton.setCheckable(true);
        panel.setGeometry(0, 190, 300, 100);
        canvas.setGeometry(0, 0, 120, 80);
        state.Canvas().SetPicture(test_support::Solid(120, 80, Qt::white));

        const tools::ToolCatalogue program = tools::PaletteCatalogue();
        entries.assign(program.begin(), program.end());
        penId = static_cast<int>(entries.size());
        entries.push_back({penId, "Stift", [this](const tools::ToolParts& /*parts*/) {
                               return std::make_unique<PenTool>(presses);
                           }});
        set = std::make_unique<tools::ToolSet>(state, host, controls, entries);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget& Popup() {
        for (QWidget* child : window.findChildren<QWidget*>()) {
            if (child->accessibleName() == QStringLiteral("Werkzeugauswahl")) return *child;
        }
        std::abort();
    }
    QToolButton& PopupButton(int i) { return *Popup().findChildren<QToolButton*>().at(i); }

    canvas::EditorState state;
    test_support::FakeToolHost host;
    QWidget window;
    QWidget strip{&window};
    QToolButton toolsButton{&window};
    QToolButton colorsButton{&window};
    QToolButton cropButton{&window};
    canvas::ViewPanel panel{&window};
    canvas::CanvasView canvas{state.Canvas(), &panel};
    QScrollBar horizontal{Qt::Horizontal, &window};
    QScrollBar vertical{Qt::Vertical, &window};
    tools::ToolControls controls{window,       canvas,     panel,      strip,   toolsButton,
                                 colorsButton, cropButton, horizontal, vertical};
    std::vector<tools::ToolEntry> entries;
    int penId = 0;
    PenTool::Presses presses;
    std::unique_ptr<tools::ToolSet> set;
};

TEST_F(SeventhTool, IsDrawnInThePopUpChosenBySlideAndByKeyboardAndHandedTheCanvasPress) {
    // Its button below the others, with its name and its picture; the
    // pop-up grows by one button.
    ASSERT_EQ(Popup().findChildren<QToolButton*>().size(), entries.size());
    QToolButton& button = PopupButton(penId);
    EXPECT_EQ(button.toolTip(), QStringLiteral("Stift"));
    EXPECT_EQ(button.geometry(), QRect(0, 25 * penId, 26, 25));
    EXPECT_EQ(Popup().height(), 25 * (penId + 1));
    const QIcon icon = button.icon();
    EXPECT_TRUE(SamePixels(icon.pixmap(icon.availableSizes().value(0)).toImage(),
                           tools::ButtonPicture(PenTool::Picture()).toImage()));

    // Press on the tools button, slide onto the pen, let go.
    QTest::mousePress(&toolsButton, Qt::LeftButton);
    ASSERT_TRUE(Popup().isVisible());
    QTest::mouseMove(&button);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_FALSE(Popup().isVisible());
    EXPECT_EQ(state.CurrentTool(), penId);
    EXPECT_EQ(state.CurrentColor(), 0x00FF0000u);
    EXPECT_EQ(toolsButton.accessibleName(), QStringLiteral("Werkzeuge: Stift"));

    // The keyboard: from the hand, Up wraps round to the last tool.
    state.SetCurrentTool(0);
    toolsButton.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&toolsButton, Qt::Key_Space);
    ASSERT_TRUE(Popup().isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), &button);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(state.CurrentTool(), penId);

    // A left press on the canvas starts its stroke.
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(presses.count, 1);
    EXPECT_EQ(presses.start, (geometry::IntPoint{30, 20}));
    EXPECT_EQ(presses.button, 1);
}

}  // namespace
