// An editor window with a known picture, driven with real mouse events: on
// the canvas, and on the tools and colours buttons with their pop-ups.
#pragma once

#include <QClipboard>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "support/EditorWindowFixture.h"
#include "tools/ColorPalette.h"
#include "tools/TextTool.h"
#include "tools/ToolPalette.h"
#include "tools/ToolSet.h"
#include "tools/art/ToolArt.h"

namespace tools_test {

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

inline bool SameImage(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

inline bool SameCursor(const QCursor& a, const QCursor& b) {
    return a.hotSpot() == b.hotSpot() && SameImage(a.pixmap().toImage(), b.pixmap().toImage());
}

class ToolsFixture : public test_support::EditorWindowFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
    void ReleaseLeftOver(Qt::MouseButton b) override {
        QTest::mouseRelease(form.get(), b, {}, QPoint(700, 400));
    }

    tools::ToolSet& Tools() { return *form->toolSet; }
    tools::ToolPalette& ToolPanel() { return Tools().Tools(); }
    tools::ColorPalette& ColorPanel() { return Tools().Colors(); }
    QToolButton& ToolButton(int i) { return ToolPanel().btnTools[static_cast<std::size_t>(i)]; }
    QLabel& ColorField(int i) { return ColorPanel().lblColor[static_cast<std::size_t>(i)]; }
    // Whether the tools button shows `picture` (as a button shows it).
    bool Command2Shows(const QPixmap& picture) {
        return SameImage(Command2Picture(), tools::ButtonPicture(picture).toImage());
    }
    QImage Command2Picture() {
        const QIcon icon = form->Command2.icon();
        return icon.pixmap(icon.availableSizes().value(0)).toImage();
    }

    // --- mouse, positions relative to the widget given ---------------------
    void Press(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NoteHeld(b);
        QTest::mousePress(&w, b, mods, at);
    }
    void Press(QWidget& w, Qt::MouseButton b = Qt::LeftButton) { Press(w, w.rect().center(), b); }
    void MoveTo(QWidget& w, QPoint at, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseEvent(QTest::MouseMove, &w, Qt::NoButton, mods, at);
    }
    void MoveTo(QWidget& w) { MoveTo(w, w.rect().center()); }
    void Release(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NoteReleased(b);
        QTest::mouseRelease(&w, b, mods, at);
    }
    void Release(QWidget& w, Qt::MouseButton b = Qt::LeftButton) { Release(w, w.rect().center(), b); }

    // Canvas shortcuts (canvas pixels).
    void CanvasPress(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Press(Canvas(), QPoint(x, y), b, mods);
    }
    void CanvasMove(int x, int y, Qt::KeyboardModifiers mods = {}) { MoveTo(Canvas(), QPoint(x, y), mods); }
    void CanvasRelease(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        Release(Canvas(), QPoint(x, y), b, mods);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        CanvasPress(from.x(), from.y(), Qt::LeftButton, mods);
        CanvasMove((from.x() + to.x()) / 2, (from.y() + to.y()) / 2, mods);
        CanvasMove(to.x(), to.y(), mods);
        CanvasRelease(to.x(), to.y(), Qt::LeftButton, mods);
    }

    // Chooses a tool and a colour by sliding over the pop-ups, as a user does.
    void SlideToTool(int i) {
        Press(form->Command2);
        MoveTo(ToolButton(i));
        Release(ToolButton(i));
    }
    void SlideToColor(int i) {
        Press(form->Command3);
        MoveTo(ColorField(i));
        Release(ColorField(i));
    }
};

}  // namespace tools_test
