#include "dialogs/PickerWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include "program/ProgramValues.h"

namespace dialogs {

std::optional<QString> RunPicker(const QString& caption, const QString& preset, QWidget* owner,
                                 const std::function<std::unique_ptr<QWidget>()>& make) {
    app::Globals& g = app::G();
    if (g.intDialogOpen != 0) return std::nullopt;
    g.intDialogOpen = 1;
    g.strDialogCaption = caption;
    g.strSelectedFile = preset;
    {
        const std::unique_ptr<QWidget> picker = make();
        WaitForPicker(*picker, owner);
    }
    g.intDialogOpen = 0;
    return g.strSelectedFile;
}

void WaitForPicker(QWidget& picker, QWidget* owner) {
    // The owner counts only when it was on screen when the wait began.
    const QPointer<QWidget> editor = owner;
    const bool watchEditor = editor && editor->isVisible();
    const QPointer<QWidget> window = &picker;

    picker.show();
    picker.raise();
    picker.activateWindow();  // the picker gets the keyboard, with or without a window manager
    while (app::G().intDialogOpen == 1) {
        if (!window || !window->isVisible()) break;
        if (watchEditor && (!editor || !editor->isVisible())) {
            window->close();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    // The editor takes the keyboard back: with no window manager nothing else
    // activates it once the picker is gone, and Ctrl+V and typing would reach
    // nothing until the user clicked into it.
    if (watchEditor && editor && editor->isVisible()) editor->activateWindow();
}

}  // namespace dialogs
