// The picker hand-over. A picker is modeless: the caller sets the hand-over
// values of app::G() (intDialogOpen = 1, the caption, the preset selection),
// shows the picker and processes events until the picker sets intDialogOpen
// back to 0, leaving its answer in strSelectedFile.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace dialogs {

// The whole hand-over: unless a picker is already open (a second one would
// share the hand-over values, so nothing happens and the result is empty),
// sets the values, makes the picker with `make` (it reads them), waits for it
// and returns the selection it left: the preset when cancelled, for a picker
// that keeps it.
std::optional<QString> RunPicker(const QString& caption, const QString& preset, QWidget* owner,
                                 const std::function<std::unique_ptr<QWidget>()>& make);

// Shows the picker and processes events until it sets intDialogOpen back to 0.
// Also returns when the picker window is gone or hidden, or when `owner` (the
// window the picker serves, if any) closes meanwhile (the picker is then
// closed), so ending the program while a picker is open stays clean. The
// owner gets the keyboard back at the end.
void WaitForPicker(QWidget& picker, QWidget* owner);

}  // namespace dialogs
