// An editor window opened as the program opens it, with a given picture on
// its canvas, driven as the tool controls are driven (see
// ToolControlsFixture). Closed again after each test with no mouse button
// left held.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <memory>

#include "editor/frmCapture.h"
#include "support/EditorControls.h"
#include "support/TestProgram.h"
#include "support/ToolControlsFixture.h"

namespace test_support {

class EditorWindowFixture : public ToolControlsFixture {
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
        ToolControlsFixture::TearDown();
        ui.reset();
        form.reset();
    }

    void Load(const QImage& picture) override {
        form->ReplacePicture(picture, AfterReplace::Layout);
        QApplication::processEvents();
    }

    QWidget& Window() override { return *form; }
    canvas::EditorState& State() override { return form->State(); }
    tools::ToolSet& Tools() override { return form->Tools(); }
    canvas::CanvasView& Canvas() override { return ui->canvasView; }
    canvas::ViewPanel& ViewPanel() override { return ui->viewPanel; }
    QToolButton& ToolsButton() override { return ui->toolsButton; }
    QToolButton& ColorsButton() override { return ui->colorsButton; }
    QToolButton& CropButton() override { return ui->cropButton; }
    QLineEdit& NameBox() override { return ui->nameBox; }
    QPushButton& FocusSink() override { return ui->dummy; }
    // The tool bar's undo and paste buttons.
    void Undo() override { ui->undoButton.click(); }
    void Paste() { ui->pasteButton.click(); }

    program::ProgramContext values = QuietProgram();
    std::unique_ptr<frmCapture> form;
    std::unique_ptr<EditorControls> ui;
};

}  // namespace test_support
