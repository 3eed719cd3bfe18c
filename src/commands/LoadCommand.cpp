#include <QDir>
#include <memory>

#include "canvas/EditorState.h"
#include "commands/ClipboardCommands.h"
#include "commands/CommandHost.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "platform/qt/PendingPicture.h"
#include "platform/qt/PictureLoader.h"

namespace commands {

void LoadPicture(CommandHost& host) {
    // While a picker is open the click is ignored.
    const std::optional<QString> selected = dialogs::RunPicker(
        QStringLiteral("Bild laden"), {}, &host.Window(),
        [&host](dialogs::PickerHandOver& handOver, QWidget* owner) -> std::unique_ptr<dialogs::PickerWindow> {
            auto picker = std::make_unique<frmPicSelect>(handOver, owner);
            picker->onPictureName = [&host](const QString& name) { host.SetPictureName(name); };
            return picker;
        });
    if (!selected || host.IsUnloading() || selected->isEmpty()) return;
    // Saves go into the folder of the accepted picture, whether it loads or
    // not: the selection is that folder, with its separator, and the name.
    host.State().SetPictureFolder(selected->left(selected->lastIndexOf(QDir::separator()) + 1));

    // A file that cannot be loaded leaves the canvas as it was; the reference
    // picture and the window fitting follow all the same.
    const platform::PictureIntake::Stretch intake(host.State().Intake());
    host.ReplacePicture(LoadPictureFile(*selected), AfterReplace::FitWindow);
}

}  // namespace commands
