// Keyboard focus around the pickers: with no window manager to hand the
// activation back, the editor must take it again itself once a picker has
// gone, or Ctrl+V and typing reach nothing until the user clicks it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmFileSelect.h"
#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "support/TestProgram.h"

using namespace dialogs_test;

namespace {

class PickerFocus : public ::testing::Test {
  protected:
    void SetUp() override {
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    }

    // Waits for the picker while a click on one of its buttons ends it, with
    // the picker made the active window first, as the user's click into it does.
    template <typename Picker>
    void WaitAndEnd(Picker& picker, QPushButton& button) {
        QTimer::singleShot(0, &picker, [&] { picker.activateWindow(); });
        QTimer::singleShot(100, &picker, [&] { button.click(); });
        dialogs::WaitForPicker(picker, &editor);
    }

    program::ProgramContext values = test_support::QuietProgram();
    frmCapture editor{values};
};

}  // namespace

TEST_F(PickerFocus, EditorIsActiveAgainAfterEitherPickerEnds) {
    OpenHandOver("Bild laden", "");
    {
        frmPicSelect picker;
        WaitAndEnd(picker, picker.Command2);  // cancel
        EXPECT_EQ(app::G().intDialogOpen, 0);
    }
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));

    OpenHandOver("Externes Bildverarbeitungsprogramm auswählen", "");
    {
        frmFileSelect picker;
        WaitAndEnd(picker, picker.Command2);
    }
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));
}

TEST_F(PickerFocus, PickerTakesTheKeyboardWhenItOpens) {
    OpenHandOver("Bild laden", "");
    frmPicSelect picker;
    bool activeWhileOpen = false;
    QTimer::singleShot(0, &picker, [&] {
        activeWhileOpen = QTest::qWaitForWindowActive(&picker, 1000);
        picker.Command2.click();
    });
    dialogs::WaitForPicker(picker, &editor);
    EXPECT_TRUE(activeWhileOpen);
}
