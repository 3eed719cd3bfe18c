// A picker whose X window another client destroys (a window killer, a
// script): the waiting command ends, and the load button works again.
#include <xcb/xcb.h>

#include <QWindow>
#include <cstdlib>
#include <memory>

#include "dialogs/PickerWait.h"
#include "dialogs/PickerWindow.h"
#include "support/ProgramSandbox.h"

using namespace test_support;

namespace {

// Destroys a window through a connection of its own, as another program would.
void DestroyFromOutside(WId window) {
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    xcb_destroy_window(other, static_cast<xcb_window_t>(window));
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));  // round trip
    xcb_disconnect(other);
}

class PickerWindowGone : public SandboxedEditorTest {};

}  // namespace

TEST_F(PickerWindowGone, DestroyedFromOutsideEndsTheWaitAndTheNextLoadOpensAgain) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
    frmCapture& f = MakeForm();
    f.show();
    const auto make = [](dialogs::PickerHandOver& handOver, QWidget* owner) {
        return std::unique_ptr<dialogs::PickerWindow>(std::make_unique<frmPicSelect>(handOver, owner));
    };
    bool destroyed = false;
    QTimer::singleShot(200, &f, [&] {
        if (dialogs::PickerWindow* picker = dialogs::OpenPicker(f)) {
            DestroyFromOutside(picker->winId());
            destroyed = true;
        }
    });
    QTimer failsafe;  // without the fix the wait would never end
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [&] {
        if (dialogs::PickerWindow* picker = dialogs::OpenPicker(f)) picker->Cancel();
    });
    failsafe.start(5000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(dialogs::RunPicker("Bild laden", "", &f, make).has_value());
    EXPECT_TRUE(destroyed);
    EXPECT_LT(clock.elapsed(), 4000);
    failsafe.stop();

    // The next load opens a picker again.
    QTimer::singleShot(100, &f, [&] {
        if (dialogs::PickerWindow* picker = dialogs::OpenPicker(f)) picker->Cancel();
    });
    EXPECT_TRUE(dialogs::RunPicker("Bild laden", "", &f, make).has_value());
}
