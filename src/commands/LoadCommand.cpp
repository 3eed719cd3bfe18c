#include <memory>

#include "commands/ClipboardCommands.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureLoader.h"
#include "program/ProgramValues.h"

namespace commands {

void LoadPicture(frmCapture& form) {
    app::Globals& g = app::G();
    // A picker is already open and waited for: a second one would share the
    // hand-over values with it, so the click is ignored.
    if (g.intDialogOpen == 1) return;

    g.intDialogOpen = 1;
    g.strSelectedFile.clear();
    g.strDialogCaption = QStringLiteral("Bild laden");
    {
        auto picker = std::make_unique<frmPicSelect>();
        dialogs::WaitForPicker(*picker);
    }
    if (form.IsUnloading() || g.strSelectedFile.isEmpty()) return;

    // A file that cannot be loaded leaves the canvas as it was; the reference
    // picture and the window fitting follow all the same.
    const QImage picture = LoadPictureFile(g.strSelectedFile);
    if (!picture.isNull()) form.SetAssignedPicture(picture);
    form.SetUndoPictureFromCanvas();
    form.FitWindowToPicture();
}

}  // namespace commands
