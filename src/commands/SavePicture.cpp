#include "commands/SavePicture.h"

#include <QCoreApplication>
#include <QFile>
#include <exception>

#include "canvas/EditorState.h"
#include "commands/BitmapFileWriter.h"
#include "commands/CommandHost.h"
#include "commands/SaveSteps.h"
#include "dialogs/frmInfo.h"
#include "program/ProgramContext.h"

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
        host.ShowMessage(kEmptyNameMessage, program::kMessageInformation);
        host.FocusPictureName();
        return;
    }

    if (!IsPlainPictureName(name)) {
        host.ShowMessage(kBadNameMessage, program::kMessageWarning);
        host.FocusPictureName();
        return;
    }

    canvas::EditorState& state = host.State();
    const std::optional<QString> base = FindFreeBaseName(state.PictureFolder(), name);
    if (!base) {
        host.ShowMessage(kAllNamesTakenMessage, program::kMessageWarning);
        return;
    }
    host.ProgramSettings().Write("PreviewName", name.toStdString());

    // The canvas image with everything drawn on it, taken straight from the
    // canvas's buffer (no copy that would share it). A JPEG is encoded from
    // the very pixels the 24-bit bitmap would hold, without writing that
    // bitmap: no full-size file ever appears under the user's names (not
    // even when the save is interrupted), and the folder needs room for the
    // JPEG alone.
    bool noNameLeft = false;
    bool saved = false;
    if (host.SaveAsJpeg()) {
        // The picture is encoded once; only the file's write is repeated
        // when another program took the name meanwhile.
        try {
            JpegSave jpeg;
            if (jpeg.Copy(state.Canvas().Image()) && jpeg.Sample(host.JpegQuality())) {
                saved = WriteUnderFreeName(
                            *base, state.PictureFolder(), name, QStringLiteral(".jpg"),
                            [&jpeg](const QString& path) { return jpeg.Write(path); }, &noNameLeft)
                            .has_value();
            }
        } catch (const std::exception&) {
            // Encoder and image errors (disk full, access denied): nothing
            // is left behind, and the failure is reported below.
        }
    } else {
        const QImage& picture = state.Canvas().Image();
        saved = WriteUnderFreeName(
                    *base, state.PictureFolder(), name, QStringLiteral(".bmp"),
                    [&picture](const QString& path) {
                        return WriteBitmapFile(picture, path, FileWriteMode::NewFileOnly);
                    },
                    &noNameLeft)
                    .has_value();
    }
    QCoreApplication::processEvents();

    state.ReferenceFromCanvas();
    if (saved) {
        dialogs::ShowSavedNotice(&host.Window());
    } else if (noNameLeft) {
        host.ShowMessage(kAllNamesTakenMessage, program::kMessageWarning);
    } else {
        host.ShowMessage(kNotSavedMessage, program::kMessageError);
    }
}

}  // namespace commands
