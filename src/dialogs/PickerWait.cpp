#include "dialogs/PickerWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include "dialogs/PickerWindow.h"
#include "platform/qt/NativeWindowWatch.h"
#include "platform/wayland/DialogPlacement.h"

namespace dialogs {

namespace {

// How long the editor waits for the compositor to give it the keyboard back.
constexpr int kReactivateMs = 1000;

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// On Wayland the compositor answers the editor's re-activation with a
// configure that still carries the window's size from before. Qt applies it
// when it arrives; a size asked for before that (fitting the window to a
// picture just loaded) would be undone. So the editor waits until it is the
// active window again and the configure that came with it has been applied.
void WaitUntilActive(QWidget& editor) {
    const QDeadlineTimer deadline(kReactivateMs);
    while (!editor.isActiveWindow() && !deadline.hasExpired() && editor.isVisible()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 20);
    }
    // The configure is applied from a queued call.
    QCoreApplication::processEvents();
}

}  // namespace

PickerWindow* OpenPicker(const QWidget& owner) {
    return owner.findChild<PickerWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

std::optional<QString> RunPicker(const QString& caption, const QString& preset, QWidget* owner,
                                 const MakePicker& make) {
    // One picker at a time per editor: the waits would tangle.
    if (owner != nullptr && OpenPicker(*owner) != nullptr) return std::nullopt;
    PickerHandOver handOver{1, caption, preset};
    std::unique_ptr<PickerWindow> picker = make(handOver, owner);
    // Should the owner go first, it deletes the picker with its children.
    const QMetaObject::Connection release =
        owner != nullptr ? QObject::connect(owner, &QObject::destroyed, [&picker] { (void)picker.release(); })
                         : QMetaObject::Connection();
    WaitForPicker(*picker, handOver, owner);
    QObject::disconnect(release);
    picker.reset();
    handOver.intDialogOpen = 0;
    return handOver.strSelectedFile;
}

void WaitForPicker(PickerWindow& picker, const PickerHandOver& handOver, QWidget* owner) {
    // The owner counts only when it was on screen when the wait began.
    const QPointer<QWidget> editor = owner;
    const bool watchEditor = editor && editor->isVisible();
    const QPointer<QWidget> window = &picker;

    picker.show();
    if (owner != nullptr) wayland::OpenAsDialog(*picker.windowHandle());  // over the editor under mutter too
    picker.raise();
    picker.activateWindow();  // the picker gets the keyboard, with or without a window manager
    bool gone = false;
    const platform::NativeWindowWatch watch(*picker.windowHandle(), [&gone] { gone = true; });
    while (handOver.intDialogOpen == 1) {
        if (gone || !window || !window->isVisible() || window->windowHandle() == nullptr) break;
        if (watchEditor && (!editor || !editor->isVisible())) {
            window->close();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    // The editor takes the keyboard back: with no window manager nothing else
    // activates it once the picker is gone, and Ctrl+V and typing would reach
    // nothing until the user clicked into it.
    if (!watchEditor || !editor || !editor->isVisible()) return;
    editor->activateWindow();
    if (OnWayland()) WaitUntilActive(*editor);
}

}  // namespace dialogs
