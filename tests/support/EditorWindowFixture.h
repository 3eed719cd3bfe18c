// An editor window opened as the program opens it, with a given picture on
// its canvas, driven with real mouse events: on the canvas (positions in
// canvas pixels) and on any other control, such as the tools and colours
// buttons with their pop-ups. Closed again after each test with no mouse
// button left held.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <initializer_list>
#include <memory>

#include "editor/frmCapture.h"
#include "support/EditorControls.h"
#include "support/TestPictures.h"
#include "support/TestProgram.h"
#include "tools/ColorPalette.h"
#include "tools/CropTool.h"
#include "tools/HandTool.h"
#include "tools/TextTool.h"
#include "tools/ToolPalette.h"
#include "tools/ToolSet.h"
#include "tools/art/ToolArt.h"

namespace test_support {

class EditorWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<frmCapture>(values);
        ui = std::make_unique<EditorControls>(*form);
        form->Form_Load();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Load(StartPicture());
    }

    void TearDown() override {
        // Leave no button held for the next test: let go where it was pressed,
        // or on the window when that control has gone away.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            if (!(held_ & b)) continue;
            if (pressed_on_ && pressed_on_->isVisible())
                QTest::mouseRelease(pressed_on_.data(), b, {}, QPoint(1, 1));
            else
                QTest::mouseRelease(form.get(), b, {}, QPoint(1, 1));
        }
        ui.reset();
        form.reset();
    }

    // The picture each test starts with.
    virtual QImage StartPicture() const = 0;

    // Replaces the picture the way a paste does.
    void Load(const QImage& picture) {
        form->ReplacePicture(picture, AfterReplace::Layout);
        QApplication::processEvents();
    }

    // The canvas: its view (mouse, pointer, children) and its surface (pixels, pen).
    canvas::CanvasView& Canvas() { return ui->canvasView; }
    canvas::CanvasSurface& Surface() { return form->State().Canvas(); }
    canvas::EditorState& State() { return form->State(); }
    QRgb Pixel(int x, int y) { return Surface().Image().pixel(x, y) & 0xFFFFFF; }

    tools::ToolSet& Tools() { return form->Tools(); }
    // The tool and colour pop-ups and their items, as a screen reader finds them.
    QWidget& ToolPopup() { return PopupNamed(QStringLiteral("Werkzeugauswahl")); }
    QWidget& ColorPopup() { return PopupNamed(QStringLiteral("Farbauswahl")); }
    QToolButton& ToolButton(int i) { return *ToolPopup().findChildren<QToolButton*>().at(i); }
    QLabel& ColorField(int i) { return *ColorPopup().findChildren<QLabel*>().at(i); }
    // Whether the tools button shows `picture` (as a button shows it).
    bool ToolsButtonShows(const QPixmap& picture) {
        return SamePixels(ToolsButtonPicture(), tools::ButtonPicture(picture).toImage());
    }
    QImage ToolsButtonPicture() {
        const QIcon icon = ui->toolsButton.icon();
        return icon.pixmap(icon.availableSizes().value(0)).toImage();
    }

    // --- mouse, positions relative to the widget given ---------------------
    void Press(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        held_ |= b;
        pressed_on_ = &w;
        QTest::mousePress(&w, b, mods, at);
    }
    void Press(QWidget& w, Qt::MouseButton b = Qt::LeftButton) { Press(w, w.rect().center(), b); }
    void MoveTo(QWidget& w, QPoint at, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseEvent(QTest::MouseMove, &w, Qt::NoButton, mods, at);
    }
    void MoveTo(QWidget& w) { MoveTo(w, w.rect().center()); }
    void Release(QWidget& w, QPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        held_ &= ~Qt::MouseButtons(b);
        QTest::mouseRelease(&w, b, mods, at);
    }
    void Release(QWidget& w, Qt::MouseButton b = Qt::LeftButton) { Release(w, w.rect().center(), b); }

    // --- mouse on the canvas, positions in canvas pixels -------------------
    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NotOrigin(x, y);
        Press(Canvas(), QPoint(x, y), b, mods);
    }
    void MoveTo(int x, int y, Qt::KeyboardModifiers mods = {}) {
        NotOrigin(x, y);
        MoveTo(Canvas(), QPoint(x, y), mods);
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NotOrigin(x, y);
        Release(Canvas(), QPoint(x, y), b, mods);
    }
    // Presses at the first point, moves through the others, lets go at the last.
    void Stroke(std::initializer_list<QPoint> points) {
        auto it = points.begin();
        Press(it->x(), it->y());
        QPoint last = *it;
        for (++it; it != points.end(); ++it) {
            MoveTo(it->x(), it->y());
            last = *it;
        }
        Release(last.x(), last.y());
    }
    // A drag with one stop half way, the modifiers held throughout.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        Press(from.x(), from.y(), Qt::LeftButton, mods);
        MoveTo((from.x() + to.x()) / 2, (from.y() + to.y()) / 2, mods);
        MoveTo(to.x(), to.y(), mods);
        Release(to.x(), to.y(), Qt::LeftButton, mods);
    }

    // Chooses a tool and a colour by sliding over the pop-ups, as a user does.
    void SlideToTool(int i) {
        Press(ui->toolsButton);
        MoveTo(ToolButton(i));
        Release(ToolButton(i));
    }
    void SlideToColor(int i) {
        Press(ui->colorsButton);
        MoveTo(ColorField(i));
        Release(ColorField(i));
    }

    program::ProgramContext values = QuietProgram();
    std::unique_ptr<frmCapture> form;
    std::unique_ptr<EditorControls> ui;

  private:
    QWidget& PopupNamed(const QString& name) {
        for (QWidget* child : form->findChildren<QWidget*>()) {
            if (child->accessibleName() == name) return *child;
        }
        std::abort();
    }

    // QTest sends an event at (0, 0) to the middle of the widget instead.
    static void NotOrigin(int x, int y) {
        if (x == 0 && y == 0) ADD_FAILURE() << "QTest cannot deliver a mouse event at (0, 0)";
    }

    Qt::MouseButtons held_;
    QPointer<QWidget> pressed_on_;
};

}  // namespace test_support
