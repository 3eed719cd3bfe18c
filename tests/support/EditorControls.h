// The editor window's controls, found by their names, for tests that drive
// them as a user does.
#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "editor/frmCapture.h"

namespace test_support {

// The child of `window` named `name`; a missing one ends the test run.
template <typename T>
T& Control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        std::fprintf(stderr, "no control %s\n", qPrintable(name));
        std::abort();
    }
    return *found;
}

struct EditorControls {
    explicit EditorControls(frmCapture& form)
        : Picture1(Control<QWidget>(form, QStringLiteral("Picture1"))),
          Check1(Control<QToolButton>(form, QStringLiteral("Check1"))),
          Command2(Control<QToolButton>(form, QStringLiteral("Command2"))),
          Command3(Control<QToolButton>(form, QStringLiteral("Command3"))),
          Text1(Control<QLineEdit>(form, QStringLiteral("Text1"))),
          Label1(Control<QLabel>(form, QStringLiteral("Label1"))),
          Option1(Control<QRadioButton>(form, QStringLiteral("Option1"))),
          Option2(Control<QRadioButton>(form, QStringLiteral("Option2"))),
          HScroll2(Control<QScrollBar>(form, QStringLiteral("HScroll2"))),
          Picture3(Control<canvas::ViewPanel>(form, QStringLiteral("Picture3"))),
          Picture2(Control<canvas::CanvasView>(form, QStringLiteral("Picture2"))),
          VScroll1(Control<QScrollBar>(form, QStringLiteral("VScroll1"))),
          HScroll1(Control<QScrollBar>(form, QStringLiteral("HScroll1"))),
          dummy(Control<QPushButton>(form, QStringLiteral("dummy"))),
          form_(form) {}

    // Command1(index) for the indexes 0, 1, 3, 4, 5, 6.
    QToolButton& Command1(int index) const {
        return Control<QToolButton>(form_, QStringLiteral("Command1(%1)").arg(index));
    }

    QWidget& Picture1;
    QToolButton& Check1;
    QToolButton& Command2;
    QToolButton& Command3;
    QLineEdit& Text1;
    QLabel& Label1;
    QRadioButton& Option1;
    QRadioButton& Option2;
    QScrollBar& HScroll2;
    canvas::ViewPanel& Picture3;
    canvas::CanvasView& Picture2;
    QScrollBar& VScroll1;
    QScrollBar& HScroll1;
    QPushButton& dummy;

  private:
    frmCapture& form_;
};

}  // namespace test_support
