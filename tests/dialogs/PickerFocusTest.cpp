// Keyboard focus around the pickers: with no window manager to hand the
// activation back, the editor must take it again itself once a picker has
// gone, or Ctrl+V and typing reach nothing until the user clicks it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <optional>

#include "dialogs/DialogTestSupport.h"
#include "dialogs/PickerWait.h"
#include "dialogs/PickerWindow.h"
#include "dialogs/frmFileSelect.h"
#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "support/PickerControls.h"
#include "support/TestProgram.h"

using namespace dialogs_test;
using namespace test_support;

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
        dialogs::WaitForPicker(picker, picker.HandOver(), &editor);
    }

    program::ProgramContext values = test_support::QuietProgram();
    frmCapture editor{values};
};

}  // namespace

TEST_F(PickerFocus, EditorIsActiveAgainAfterEitherPickerEnds) {
    auto handOver = OpenHandOver("Bild laden", "");
    {
        frmPicSelect picker(handOver);
        WaitAndEnd(picker, CancelButton(picker));  // cancel
        EXPECT_EQ(handOver.intDialogOpen, 0);
    }
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));

    handOver = OpenHandOver("Externes Bildverarbeitungsprogramm auswählen", "");
    {
        frmFileSelect picker(handOver);
        WaitAndEnd(picker, CancelButton(picker));
    }
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor, 1000));
}

TEST_F(PickerFocus, PickerTakesTheKeyboardWhenItOpens) {
    auto handOver = OpenHandOver("Bild laden", "");
    frmPicSelect picker(handOver);
    bool activeWhileOpen = false;
    QTimer::singleShot(0, &picker, [&] {
        activeWhileOpen = QTest::qWaitForWindowActive(&picker, 1000);
        CancelButton(picker).click();
    });
    dialogs::WaitForPicker(picker, handOver, &editor);
    EXPECT_TRUE(activeWhileOpen);
}

// Both pickers are dialogs of the editor (its children: transient for it on
// X11, children on Wayland), and the editor has one at a time: a second
// command that would open one while it shows does nothing.
TEST_F(PickerFocus, PickersAreDialogsOfTheEditorOneAtATime) {
    const std::function<std::unique_ptr<dialogs::PickerWindow>(dialogs::PickerHandOver&, QWidget*)> makers[] =
        {
            [](dialogs::PickerHandOver& h, QWidget* owner) {
                return std::make_unique<frmPicSelect>(h, owner);
            },
            [](dialogs::PickerHandOver& h, QWidget* owner) {
                return std::make_unique<frmFileSelect>(h, owner);
            },
        };
    for (const auto& make : makers) {
        std::optional<QString> second = QString("not run");
        // Acts once the first picker shows (its making may itself run events).
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &editor, [&] {
            dialogs::PickerWindow* picker = dialogs::OpenPicker(editor);
            if (picker == nullptr || !picker->isVisible()) return;
            poll.stop();
            EXPECT_EQ(picker->parentWidget(), &editor);
            EXPECT_EQ(picker->windowType(), Qt::Dialog);
            EXPECT_TRUE(picker->windowFlags() & Qt::WindowStaysOnTopHint);
            ASSERT_NE(picker->windowHandle(), nullptr);
            EXPECT_EQ(picker->windowHandle()->transientParent(), editor.windowHandle());
            second = dialogs::RunPicker("second", "", &editor, make);
            CancelButton(*picker).click();
        });
        poll.start();
        const std::optional<QString> first = dialogs::RunPicker("first", "/preset", &editor, make);
        EXPECT_TRUE(first.has_value());
        EXPECT_FALSE(second.has_value());
        EXPECT_EQ(dialogs::OpenPicker(editor), nullptr);
    }
}

// Escape is the cancel button: the picture picker answers "no file", the
// program picker keeps the program chosen before.
TEST_F(PickerFocus, EscapeCancelsEitherPicker) {
    auto pictures = OpenHandOver("Bild laden", "/preset.jpg");
    frmPicSelect picturePicker(pictures, &editor);
    auto programs = OpenHandOver("x", "/usr/bin/preset");
    frmFileSelect programPicker(programs, &editor);
    const std::pair<dialogs::PickerWindow*, QString> cases[] = {{&picturePicker, ""},
                                                                {&programPicker, "/usr/bin/preset"}};
    for (const auto& [picker, answer] : cases) {
        picker->show();
        QTest::keyClick(&Files(*picker), Qt::Key_Escape);  // reaches the window through the list
        EXPECT_EQ(picker->HandOver().intDialogOpen, 0);
        EXPECT_EQ(picker->HandOver().strSelectedFile, answer);
        EXPECT_FALSE(picker->isVisible());
    }
}

// Enter in the file list accepts the file selected; on the cancel button it
// cancels: the pickers are complete by keyboard.
TEST_F(PickerFocus, EnterAcceptsTheSelectionAndCancelsOnTheCancelButton) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir(dir.path()).absolutePath();
    ASSERT_TRUE(SolidPicture(40, 30, Qt::red).save(folder + "/one.bmp"));
    for (const bool onCancel : {false, true}) {
        auto handOver = OpenHandOver("Bild laden", folder + "/one.bmp");
        frmPicSelect picker(handOver, &editor);
        picker.show();
        QWidget& target = onCancel ? static_cast<QWidget&>(CancelButton(picker)) : Files(picker);
        target.setFocus();
        QTest::keyClick(&target, Qt::Key_Return);
        EXPECT_EQ(handOver.intDialogOpen, 0) << onCancel;
        EXPECT_EQ(handOver.strSelectedFile, onCancel ? QString() : folder + "/one.bmp") << onCancel;
    }
}
