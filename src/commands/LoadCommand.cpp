#include <QFile>
#include <memory>

#include "commands/ClipboardCommands.h"
#include "commands/CommandHost.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "platform/qt/PictureLoader.h"
#include "program/ProgramValues.h"
#include "settings/PathHelpers.h"
#include "widgets/PictureBox.h"

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
    if (!selected || selected->isEmpty()) return;
    // The accepted picture's folder becomes the picture folder, also when the
    // file then does not load.
    std::string folder = app::GetFolderPart(QFile::encodeName(*selected).toStdString());
    app::G().strPictureFolder = QFile::decodeName(QByteArray::fromStdString(app::AddBackslash(folder)));
    if (host.IsUnloading()) return;

    // A file that cannot be loaded leaves the canvas as it was; the reference
    // picture and the window fitting follow all the same.
    host.ReplacePicture(LoadPictureFile(*selected), AfterReplace::FitWindow);
}

}  // namespace commands
