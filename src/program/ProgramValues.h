// The picker hand-over: the caller sets these, shows a picker and processes
// events until the picker sets intDialogOpen back to 0.
#pragma once

#include <QString>
#include <cstdint>

namespace app {

struct Globals {
    std::int16_t intDialogOpen = 0;
    QString strDialogCaption;
    QString strSelectedFile;
};

Globals& G();

}  // namespace app
