// Waiting for a modeless picker: show it and process events until it sets
// app::G().intDialogOpen back to 0. Also returns when the picker window is
// gone or hidden, or when the editor window closes meanwhile (the picker is
// then closed), so ending the program while a picker is open stays clean.
#pragma once

class QWidget;

namespace dialogs {

void WaitForPicker(QWidget& picker);

}  // namespace dialogs
