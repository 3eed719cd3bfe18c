#include "commands/SavePicture.h"

#include <QCoreApplication>
#include <QFile>

#include "app/WindowHelpers.h"
#include "commands/BitmapFileWriter.h"
#include "commands/SaveSteps.h"
#include "dialogs/frmInfo.h"
#include "editor/frmCapture.h"
#include "program/ProgramValues.h"
#include "program/Settings.h"

namespace commands {

namespace {

const QString kEmptyNameMessage = QStringLiteral("Bitte Dateiname angeben...   ");
const QString kAllNamesTakenMessage = QStringLiteral("Bitte Dateiname ändern");
const QString kNotSavedMessage = QStringLiteral("Das Bild konnte nicht gespeichert werden.");

}  // namespace

void SavePicture(frmCapture& form) {
    form.MoveFocusToDummy();
    const QString name = form.Text1.text();
    if (name.isEmpty()) {
        app::ShowMessage(kEmptyNameMessage, app::kMessageInformation);
        form.Text1.setFocus();
        return;
    }

    app::Globals& g = app::G();
    const std::optional<QString> base = FindFreeBaseName(g.strPictureFolder, name);
    if (!base) {
        app::ShowMessage(kAllNamesTakenMessage, app::kMessageWarning);
        return;
    }
    app::WriteSetting("PreviewName", name.toStdString());

    // The canvas image with everything drawn on it, written straight from the
    // canvas's buffer (no copy that would share it).
    const QString bitmapPath = *base + QStringLiteral(".bmp");
    bool saved = WriteBitmapFile(form.Picture2.Image(), bitmapPath, FileWriteMode::NewFileOnly);
    QCoreApplication::processEvents();

    if (saved && form.Option2.isChecked()) {
        saved = WriteJpegFromBitmap(bitmapPath, *base + QStringLiteral(".jpg"), form.HScroll2.value());
        QFile::remove(bitmapPath);  // the intermediate bitmap goes, whether or not the JPEG was written
    }

    form.SetUndoPictureFromCanvas();
    if (saved) {
        dialogs::ShowSavedNotice(&form);
    } else {
        app::ShowMessage(kNotSavedMessage, app::kMessageError);
    }
}

}  // namespace commands
