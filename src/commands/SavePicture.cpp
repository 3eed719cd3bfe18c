#include "commands/SavePicture.h"

#include <QCoreApplication>
#include <QFile>

#include "commands/BitmapFileWriter.h"
#include "commands/SaveSteps.h"
#include "dialogs/frmInfo.h"
#include "editor/frmCapture.h"
#include "program/ProgramValues.h"
#include "program/Settings.h"
#include "widgets/WindowHelpers.h"

namespace commands {

namespace {

const QString kEmptyNameMessage = QStringLiteral("Bitte Dateiname angeben...   ");
const QString kAllNamesTakenMessage = QStringLiteral("Bitte Dateiname ändern");

}  // namespace

bool IsPlainPictureName(const QString& name) {
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\') return false;
        // Cc: C0 and C1 controls (line breaks, tabs, DEL); Zl, Zp: the
        // Unicode line and paragraph separators.
        const auto category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return false;
    }
    return true;
}

void SavePicture(frmCapture& form) {
    form.MoveFocusToDummy();
    const QString name = form.Text1.text();
    if (name.isEmpty()) {
        app::ShowMessage(kEmptyNameMessage, app::kMessageInformation);
        form.Text1.setFocus();
        return;
    }

    if (!IsPlainPictureName(name)) {
        app::ShowMessage(kBadNameMessage, app::kMessageWarning);
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

    // The canvas image with everything drawn on it, taken straight from the
    // canvas's buffer (no copy that would share it). A JPEG is encoded from
    // the very pixels the 24-bit bitmap would hold, without writing that
    // bitmap: no full-size file ever appears under the user's names (not
    // even when the save is interrupted), and the folder needs room for the
    // JPEG alone.
    bool saved = false;
    if (form.Option2.isChecked()) {
        saved = WriteJpegFromPicture(form.Picture2.Image(), *base + QStringLiteral(".jpg"),
                                     form.HScroll2.value());
    } else {
        saved = WriteBitmapFile(form.Picture2.Image(), *base + QStringLiteral(".bmp"),
                                FileWriteMode::NewFileOnly);
    }
    QCoreApplication::processEvents();

    form.SetUndoPictureFromCanvas();
    if (saved) {
        dialogs::ShowSavedNotice(&form);
    } else {
        app::ShowMessage(kNotSavedMessage, app::kMessageError);
    }
}

}  // namespace commands
