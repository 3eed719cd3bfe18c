#include <QCoreApplication>

#include "app/AppModul.h"
#include "commands/ClipboardCommands.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureLoader.h"

namespace commands {

void LoadPicture(frmCapture& /*form*/) {
    // Filled in once the picture picker window is available.
}

}  // namespace commands
