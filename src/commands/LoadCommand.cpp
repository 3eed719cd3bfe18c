#include <QDir>
#include <memory>
#include <optional>
#include <utility>

#include "canvas/EditorState.h"
#include "commands/ClipboardCommands.h"
#include "commands/CommandHost.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "platform/qt/PendingPicture.h"
#include "platform/qt/PictureLoader.h"

namespace commands {

void LoadPicture(CommandHost& host) {
    // The picture is taken in from the moment the picker accepts it: input
    // that follows waits for it, also while the picker goes away.
    std::optional<platform::PictureIntake::Stretch> intake;
    std::optional<platform::PendingPicture> handed;
    // While a picker is open the click is ignored.
    const std::optional<QString> selected = dialogs::RunPicker(
        QStringLiteral("Bild laden"), {}, &host.Window(),
        [&host, &intake, &handed](dialogs::PickerHandOver& handOver,
                                  QWidget* owner) -> std::unique_ptr<dialogs::PickerWindow> {
            auto picker = std::make_unique<frmPicSelect>(handOver, owner);
            picker->SetPictureNameReceiver([&host, &intake](const QString& name) {
                intake.emplace(host.State().Intake());
                host.SetPictureName(name);
            });
            picker->SetPictureReceiver(
                [&handed](platform::PendingPicture picture) { handed.emplace(std::move(picture)); });
            return picker;
        });
    if (!selected || host.IsUnloading() || selected->isEmpty()) return;
    // Saves go into the folder of the accepted picture, whether it loads or
    // not: the selection is that folder, with its separator, and the name.
    host.State().SetPictureFolder(selected->left(selected->lastIndexOf(QDir::separator()) + 1));

    // A file that cannot be loaded leaves the canvas as it was; the reference
    // picture and the window fitting follow all the same. The picker's
    // preview of it, still decoding or done, is taken over.
    if (!intake) intake.emplace(host.State().Intake());
    QImage picture = handed ? handed->Take() : LoadPictureFile(*selected);
    host.ReplacePicture(std::move(picture), AfterReplace::FitWindow);
}

}  // namespace commands
