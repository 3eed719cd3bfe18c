// Running a picker. A picker is modeless: the caller fills a hand-over, shows
// the picker and processes events until the picker reports back (its
// intDialogOpen turns 0), leaving its answer in strSelectedFile.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "dialogs/PickerHandOver.h"

class QWidget;

namespace dialogs {

class PickerWindow;

// The picker `owner` has open now, or nullptr.
PickerWindow* OpenPicker(const QWidget& owner);

// The whole hand-over: unless `owner` already has a picker open (then nothing
// happens and the result is empty), fills a hand-over with the caption and the
// preset, makes the picker with `make` (it reads them; `owner` is to be its
// parent), waits for it and returns the answer it left: the accepted file's
// full path, or what the picker leaves on cancel or close.
using MakePicker = std::function<std::unique_ptr<PickerWindow>(PickerHandOver& handOver, QWidget* owner)>;
std::optional<QString> RunPicker(const QString& caption, const QString& preset, QWidget* owner,
                                 const MakePicker& make);

// Shows the picker and processes events until it reports back through
// `handOver`. Also returns when the picker window is gone however it went
// (closed, hidden, deleted, or its native window destroyed from outside), or
// when `owner` (the window the picker serves, if any) closes meanwhile (the
// picker is then closed), so ending the program while a picker is open stays
// clean. The owner gets the keyboard back at the end.
void WaitForPicker(PickerWindow& picker, const PickerHandOver& handOver, QWidget* owner);

}  // namespace dialogs
