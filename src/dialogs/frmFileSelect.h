// The program picker: drive, folder and program lists (regular files the user
// may execute), accept and cancel. Modeless, with the same hand-over as the
// picture picker; cancel and close leave the preset as the answer, and it
// touches neither the picture name nor the picture folder.
#pragma once

#include "dialogs/PickerWindow.h"

class frmFileSelect : public dialogs::PickerWindow {
    Q_OBJECT
  public:
    explicit frmFileSelect(dialogs::PickerHandOver& handOver, QWidget* owner = nullptr);
};
