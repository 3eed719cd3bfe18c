// What a caller and the picker it opens hand each other. The caller (see
// RunPicker) fills it before the picker is made, the picker reads the caption
// and the preset and reports back: intDialogOpen turns 0 whenever the window
// goes away, and strSelectedFile holds the answer.
#pragma once

#include <QString>
#include <cstdint>

namespace dialogs {

struct PickerHandOver {
    std::int16_t intDialogOpen = 1;  // 1 while the picker is open
    QString strDialogCaption;        // the window title
    QString strSelectedFile;         // preset on the way in, the answer on the way out
};

}  // namespace dialogs
