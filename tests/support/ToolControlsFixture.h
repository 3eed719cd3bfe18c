// A tool set and the controls it binds to, with a given picture on the
// canvas, driven with real mouse events: on the canvas (positions in canvas
// pixels) and on any other control, such as the tools and colours buttons
// with their pop-ups. The editor window provides the controls, or bare
// widgets do; either way no mouse button is left held after a test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <initializer_list>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "support/CanvasGestures.h"
#include "support/TestPictures.h"
#include "tools/ColorPalette.h"
#include "tools/CropTool.h"
#include "tools/HandTool.h"
#include "tools/StrokeProtocol.h"
#include "tools/TextTool.h"
#include "tools/ToolHost.h"
#include "tools/ToolPalette.h"
#include "tools/ToolSet.h"
#include "tools/art/ToolArt.h"

namespace test_support {

class ToolControlsFixture : public CanvasGestures<ToolControlsFixture> {
    // The gestures are made of this fixture's press, move and release.
    friend class CanvasGestures<ToolControlsFixture>;

  protected:
    void TearDown() override {
        // Leave no button held for the next test: let go where it was pressed,
        // or on the window when that control has gone away.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            if (!(held_ & b)) continue;
            if (pressed_on_ && pressed_on_->isVisible())
                QTest::mouseRelease(pressed_on_.data(), b, {}, QPoint(1, 1));
            else
                QTest::mouseRelease(&Window(), b, {}, QPoint(1, 1));
        }
        held_ = {};
        // A move without a button only sets the pointer's place, and one to
        // where the pointer already is sends nothing: the next test's first
        // hover must not depend on where this one left the pointer.
        QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
        QApplication::processEvents();
    }

    // The picture each test starts with.
    virtual QImage StartPicture() const = 0;
    // Replaces the picture the way a paste does.
    virtual void Load(const QImage& picture) = 0;

    // The window the pop-ups belong to, and the controls by role.
    virtual QWidget& Window() = 0;
    virtual canvas::EditorState& State() = 0;
    virtual tools::ToolSet& Tools() = 0;
    // The canvas: its view (mouse, pointer, children).
    virtual canvas::CanvasView& Canvas() = 0;
    virtual canvas::ViewPanel& ViewPanel() = 0;
    virtual QToolButton& ToolsButton() = 0;
    virtual QToolButton& ColorsButton() = 0;
    virtual QToolButton& CropButton() = 0;
    // A control that takes the keyboard, and the focus sink.
    virtual QLineEdit& NameBox() = 0;
    virtual QPushButton& FocusSink() = 0;
    // Undo as the tool bar's undo button does it.
    virtual void Undo() = 0;

    // The canvas's surface (pixels, pen).
    canvas::CanvasSurface& Surface() { return State().Canvas(); }
    QRgb Pixel(int x, int y) { return Surface().Image().pixel(x, y) & 0xFFFFFF; }
    QLineEdit& TextBox() { return *Named<QLineEdit>(Canvas(), QStringLiteral("txtText")); }

    // The canvas's place in the view panel, twips, as the tools read it.
    int CanvasLeftTwips() { return Tools().Host().CanvasLeftTwips(); }
    int CanvasTopTwips() { return Tools().Host().CanvasTopTwips(); }
    tools::HandTool& Hand() { return dynamic_cast<tools::HandTool&>(*Tools().Tool(tools::HandTool::kId)); }
    const tools::Stroke& LastStroke() { return *Tools().Strokes().LastStroke(); }

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
        const QIcon icon = ToolsButton().icon();
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

    // Chooses a tool and a colour by sliding over the pop-ups, as a user does.
    void SlideToTool(int i) {
        Press(ToolsButton());
        MoveTo(ToolButton(i));
        Release(ToolButton(i));
    }
    void SlideToColor(int i) {
        Press(ColorsButton());
        MoveTo(ColorField(i));
        Release(ColorField(i));
    }

  private:
    template <typename T>
    static T* Named(QWidget& parent, const QString& name) {
        T* found = parent.findChild<T*>(name);
        if (found == nullptr) std::abort();
        return found;
    }
    QWidget& PopupNamed(const QString& name) {
        for (QWidget* child : Window().findChildren<QWidget*>()) {
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
