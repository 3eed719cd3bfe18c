// The pictures the canvas and tools tests start from, each with the fixture
// that opens the tool set on it: over bare controls, or in the editor window
// for what only the window does.
#pragma once

#include <QClipboard>
#include <QImage>
#include <QPainter>

#include "commands/ClipboardCommands.h"
#include "support/EditorWindowFixture.h"
#include "support/FakeHosts.h"
#include "support/TestPictures.h"
#include "support/TestProgram.h"
#include "support/ToolControlsFixture.h"
#include "tools/HandTool.h"
#include "tools/StrokeProtocol.h"
#include "tools/ToolHost.h"

namespace test_support {

// The editor window, with the controls its own tests read: the tool bar
// strip and the scroll bars.
class ToolWindowFixture : public EditorWindowFixture {
  protected:
    QWidget& ToolbarStrip() { return ui->toolbarStrip; }
    QScrollBar& HorizontalScroll() { return ui->horizontalScroll; }
    QScrollBar& VerticalScroll() { return ui->verticalScroll; }
};

// What the window does for the tools, over bare controls: a new picture goes
// onto the canvas as the window puts it there (the reference follows unless
// it is an undo step), and the focus goes to a bare focus sink.
class BareWindowHost : public FakeToolHost {
  public:
    BareWindowHost(commands::CommandHost& commands, QWidget& focusSink)
        : commands_(commands), focusSink_(focusSink) {}
    void MoveFocusToDummy() override { focusSink_.setFocus(Qt::OtherFocusReason); }
    bool ReplacePicture(QImage picture, AfterReplace then) override {
        FakeToolHost::ReplacePicture(picture, then);
        return commands_.ReplacePicture(std::move(picture), then);
    }

  private:
    commands::CommandHost& commands_;
    QWidget& focusSink_;
};

// The tool set without the editor window: the editing state, a fake host and
// bare widgets for the controls it binds to, the tool bar's where the window
// has them, and the canvas's pen set as the window sets it.
class BareToolSetFixture : public ToolControlsFixture {
  protected:
    void SetUp() override {
        window.resize(762, 487);
        strip.setGeometry(0, 0, 762, 29);
        cropButton.setGeometry(63, 4, 25, 21);
        cropButton.setCheckable(true);
        toolsButton.setGeometry(173, 4, 25, 21);
        colorsButton.setGeometry(198, 4, 25, 21);
        for (QToolButton* button : {&cropButton, &toolsButton, &colorsButton})
            button->setFocusPolicy(Qt::StrongFocus);
        nameBox.setGeometry(263, 5, 184, 19);
        panel.setGeometry(0, 29, 736, 412);
        verticalScroll.setGeometry(736, 29, 17, 412);
        horizontalScroll.setGeometry(0, 441, 736, 17);
        // Outside the window, as the window keeps its sink out of sight.
        focusSink.setGeometry(2 * 762, 0, 20, 20);
        focusSink.setFocusPolicy(Qt::ClickFocus);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(12);
        font.setBold(true);
        State().Canvas().SetFont(font);
        State().Canvas().SetBackColor(0x00000000);
        toolSet = std::make_unique<tools::ToolSet>(State(), host, controls, Catalogue());
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        Load(StartPicture());
    }

    // The tools the tool set is made of; outlives the tool set.
    virtual tools::ToolCatalogue Catalogue() const { return tools::PaletteCatalogue(); }

    void Load(const QImage& picture) override {
        host.ReplacePicture(picture, AfterReplace::Layout);
        QApplication::processEvents();
    }

    QWidget& Window() override { return window; }
    canvas::EditorState& State() override { return commandHost.state; }
    tools::ToolSet& Tools() override { return *toolSet; }
    canvas::CanvasView& Canvas() override { return canvas; }
    canvas::ViewPanel& ViewPanel() override { return panel; }
    QToolButton& ToolsButton() override { return toolsButton; }
    QToolButton& ColorsButton() override { return colorsButton; }
    QToolButton& CropButton() override { return cropButton; }
    QLineEdit& NameBox() override { return nameBox; }
    QPushButton& FocusSink() override { return focusSink; }
    // The command the tool bar's undo button runs.
    void Undo() override { commands::UndoPicture(commandHost); }

    program::ProgramContext values = QuietProgram();
    FakeCommandHost commandHost{values};  // holds the editing state
    QWidget window;
    QWidget strip{&window};
    QToolButton cropButton{&strip};
    QToolButton toolsButton{&strip};
    QToolButton colorsButton{&strip};
    QLineEdit nameBox{&strip};
    canvas::ViewPanel panel{&window};
    canvas::CanvasView canvas{commandHost.state.Canvas(), &panel};
    QScrollBar verticalScroll{Qt::Vertical, &window};
    QScrollBar horizontalScroll{Qt::Horizontal, &window};
    QPushButton focusSink{&window};
    BareWindowHost host{commandHost, focusSink};
    tools::ToolControls controls{window,     canvas,           panel,
                                 strip,      toolsButton,      colorsButton,
                                 cropButton, horizontalScroll, verticalScroll};
    std::unique_ptr<tools::ToolSet> toolSet;
};

}  // namespace test_support

namespace tools2_test {

using test_support::SameCursor;
using test_support::SamePixels;

// 200 x 150: white on the left, a black band (x 60..79), blue on the right
// (x >= 80), and a grey square (x 150..169, y 100..119) for crop checks.
inline QImage TestPicture(int width = 200, int height = 150) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(60, 0, 20, height), Qt::black);
    p.fillRect(QRect(80, 0, width - 80, height), QColor(0, 0, 255));
    p.fillRect(QRect(150, 100, 20, 20), QColor(0x80, 0x80, 0x80));
    // A pixel pattern that tells every position apart in the top rows.
    for (int x = 0; x < width; ++x) image.setPixel(x, 0, qRgb(x & 0xFF, (x >> 8) & 0xFF, 7));
    return image;
}

class EditorFixture : public test_support::ToolWindowFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

class ToolSetFixture : public test_support::BareToolSetFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

}  // namespace tools2_test

namespace tools_test {

using test_support::SameCursor;
using test_support::SamePixels;

// 300 x 220, black (the canvas background) on the left half so the XOR pen
// shows the true colour there, and a pattern on the right half in which every
// pixel differs from its neighbours.
inline QImage TestPicture() {
    QImage image(300, 220, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 150; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    }
    return image;
}

class ToolsFixture : public test_support::ToolWindowFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

class ToolSetFixture : public test_support::BareToolSetFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

}  // namespace tools_test
