// The pictures the canvas and tools tests start from, each with the editor
// window fixture that opens on it.
#pragma once

#include <QClipboard>
#include <QImage>
#include <QPainter>

#include "support/EditorWindowFixture.h"
#include "support/TestPictures.h"
#include "tools/HandTool.h"
#include "tools/StrokeProtocol.h"
#include "tools/ToolHost.h"

namespace test_support {

// The editor window with its controls named by their role, found by their
// object names.
class ToolWindowFixture : public EditorWindowFixture {
  protected:
    QToolButton& ToolsButton() { return Control<QToolButton>(*form, QStringLiteral("Command2")); }
    QToolButton& ColorsButton() { return Control<QToolButton>(*form, QStringLiteral("Command3")); }
    QToolButton& CropButton() { return Control<QToolButton>(*form, QStringLiteral("Check1")); }
    QWidget& ToolbarStrip() { return Control<QWidget>(*form, QStringLiteral("Picture1")); }
    canvas::ViewPanel& ViewPanel() { return Control<canvas::ViewPanel>(*form, QStringLiteral("Picture3")); }
    QScrollBar& HorizontalScroll() { return Control<QScrollBar>(*form, QStringLiteral("HScroll1")); }
    QScrollBar& VerticalScroll() { return Control<QScrollBar>(*form, QStringLiteral("VScroll1")); }
    QLineEdit& NameBox() { return Control<QLineEdit>(*form, QStringLiteral("Text1")); }
    QPushButton& FocusSink() { return Control<QPushButton>(*form, QStringLiteral("dummy")); }
    QLineEdit& TextBox() { return Control<QLineEdit>(Canvas(), QStringLiteral("txtText")); }
    // The tool bar's undo and paste buttons.
    void Undo() { Control<QToolButton>(*form, QStringLiteral("Command1(6)")).click(); }
    void Paste() { Control<QToolButton>(*form, QStringLiteral("Command1(4)")).click(); }

    // The canvas's place in the view panel, twips, as the tools read it.
    int CanvasLeftTwips() { return Tools().Host().CanvasLeftTwips(); }
    int CanvasTopTwips() { return Tools().Host().CanvasTopTwips(); }
    tools::HandTool& Hand() { return dynamic_cast<tools::HandTool&>(*Tools().Tool(tools::HandTool::kId)); }
    const tools::Stroke& LastStroke() { return *Tools().Strokes().LastStroke(); }
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

}  // namespace tools_test
