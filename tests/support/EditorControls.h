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

// The controls by role; each is found by its object name, the control's name
// in the form design.
struct EditorControls {
    explicit EditorControls(frmCapture& form)
        : toolbarStrip(Control<QWidget>(form, QStringLiteral("Picture1"))),
          loadButton(Control<QToolButton>(form, QStringLiteral("Command1(0)"))),
          saveButton(Control<QToolButton>(form, QStringLiteral("Command1(1)"))),
          copyButton(Control<QToolButton>(form, QStringLiteral("Command1(3)"))),
          pasteButton(Control<QToolButton>(form, QStringLiteral("Command1(4)"))),
          programButton(Control<QToolButton>(form, QStringLiteral("Command1(5)"))),
          undoButton(Control<QToolButton>(form, QStringLiteral("Command1(6)"))),
          cropButton(Control<QToolButton>(form, QStringLiteral("Check1"))),
          toolsButton(Control<QToolButton>(form, QStringLiteral("Command2"))),
          colorsButton(Control<QToolButton>(form, QStringLiteral("Command3"))),
          nameBox(Control<QLineEdit>(form, QStringLiteral("Text1"))),
          extensionLabel(Control<QLabel>(form, QStringLiteral("Label1"))),
          bitmapOption(Control<QRadioButton>(form, QStringLiteral("Option1"))),
          jpegOption(Control<QRadioButton>(form, QStringLiteral("Option2"))),
          qualityScroll(Control<QScrollBar>(form, QStringLiteral("HScroll2"))),
          viewPanel(Control<canvas::ViewPanel>(form, QStringLiteral("Picture3"))),
          canvasView(Control<canvas::CanvasView>(form, QStringLiteral("Picture2"))),
          verticalScroll(Control<QScrollBar>(form, QStringLiteral("VScroll1"))),
          horizontalScroll(Control<QScrollBar>(form, QStringLiteral("HScroll1"))),
          dummy(Control<QPushButton>(form, QStringLiteral("dummy"))) {}

    QWidget& toolbarStrip;
    QToolButton& loadButton;
    QToolButton& saveButton;
    QToolButton& copyButton;
    QToolButton& pasteButton;
    QToolButton& programButton;
    QToolButton& undoButton;
    QToolButton& cropButton;
    QToolButton& toolsButton;
    QToolButton& colorsButton;
    QLineEdit& nameBox;
    QLabel& extensionLabel;
    QRadioButton& bitmapOption;
    QRadioButton& jpegOption;
    QScrollBar& qualityScroll;
    canvas::ViewPanel& viewPanel;
    canvas::CanvasView& canvasView;
    QScrollBar& verticalScroll;
    QScrollBar& horizontalScroll;
    QPushButton& dummy;  // the focus sink
};

}  // namespace test_support
