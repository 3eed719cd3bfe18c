#include <memory>

#include "commands/ClipboardCommands.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureLoader.h"

namespace commands {

void LoadPicture(frmCapture& form) {
    // While a picker is open the click is ignored.
    const std::optional<QString> selected =
        dialogs::RunPicker(QStringLiteral("Bild laden"), {}, &form, [&form] {
            auto picker = std::make_unique<frmPicSelect>();
            picker->onPictureName = [&form](const QString& name) { form.Text1.setText(name); };
            return picker;
        });
    if (!selected || form.IsUnloading() || selected->isEmpty()) return;

    // A file that cannot be loaded leaves the canvas as it was; the reference
    // picture and the window fitting follow all the same.
    form.ReplacePicture(LoadPictureFile(*selected), AfterReplace::FitWindow);
}

}  // namespace commands
