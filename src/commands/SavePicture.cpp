#include "commands/SavePicture.h"

#include <QCoreApplication>
#include <QFile>

#include "commands/BitmapFileWriter.h"
#include "commands/CommandHost.h"
#include "commands/SaveSteps.h"
#include "dialogs/frmInfo.h"
#include "program/ProgramValues.h"
#include "program/Settings.h"
#include "widgets/PictureBox.h"
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

void SavePicture(CommandHost& host) {
    host.MoveFocusToDummy();
    const QString name = host.PictureName();
    if (name.isEmpty()) {
        app::ShowMessage(kEmptyNameMessage, app::kMessageInformation);
        host.FocusPictureName();
        return;
    }

    if (!IsPlainPictureName(name)) {
        app::ShowMessage(kBadNameMessage, app::kMessageWarning);
        host.FocusPictureName();
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
    if (host.SaveAsJpeg()) {
        saved =
            WriteJpegFromPicture(host.Canvas().Image(), *base + QStringLiteral(".jpg"), host.JpegQuality());
    } else {
        saved = WriteBitmapFile(host.Canvas().Image(), *base + QStringLiteral(".bmp"),
                                FileWriteMode::NewFileOnly);
    }
    QCoreApplication::processEvents();

    host.SetUndoPictureFromCanvas();
    if (saved) {
        dialogs::ShowSavedNotice(&host.Window());
    } else {
        app::ShowMessage(kNotSavedMessage, app::kMessageError);
    }
}

}  // namespace commands
