// An editor window opened as the program opens it, with a given picture on
// its canvas; closed again after each test with no mouse button left held.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <memory>

#include "editor/frmCapture.h"
#include "program/ProgramValues.h"
#include "support/ProgramValuesScope.h"
#include "widgets/WindowHelpers.h"

namespace test_support {

class EditorWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        app::SetMessageSinkForTests([](const QString&, int, const QString&) {});
        form = std::make_unique<frmCapture>();
        form->Form_Load();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Load(StartPicture());
    }

    void TearDown() override {
        // Leave no button held for the next test.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            if (held_ & b) ReleaseLeftOver(b);
        }
        form.reset();
        app::SetMessageSinkForTests({});
    }

    // The picture each test starts with.
    virtual QImage StartPicture() const = 0;
    // Lets go of a button a test left held.
    virtual void ReleaseLeftOver(Qt::MouseButton b) = 0;

    // Replaces the picture the way a paste does.
    void Load(const QImage& picture) {
        form->ReplacePicture(picture, AfterReplace::Layout);
        QApplication::processEvents();
    }

    PictureBox& Canvas() { return form->Picture2; }
    QRgb Pixel(int x, int y) { return Canvas().Image().pixel(x, y) & 0xFFFFFF; }

    // Bookkeeping for the mouse helpers of derived fixtures.
    void NoteHeld(Qt::MouseButton b) { held_ |= b; }
    void NoteReleased(Qt::MouseButton b) { held_ &= ~Qt::MouseButtons(b); }

    test_support::ProgramValuesScope values;
    std::unique_ptr<frmCapture> form;

  private:
    Qt::MouseButtons held_;
};

}  // namespace test_support
