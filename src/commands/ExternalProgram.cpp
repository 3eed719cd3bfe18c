#include "commands/ExternalProgram.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "commands/BitmapFileWriter.h"
#include "commands/ClipboardCommands.h"
#include "commands/CommandHost.h"
#include "commands/SavePicture.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmFileSelect.h"
#include "program/ProgramValues.h"
#include "program/Settings.h"
#include "settings/PathHelpers.h"
#include "widgets/PictureBox.h"
#include "widgets/WindowHelpers.h"

namespace commands {

namespace {

const QString kPickerCaption = QStringLiteral("Externes Bildverarbeitungsprogramm auswählen");

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Runs the program picker and stores its answer. False when another picker
// is already open (the waits would tangle); nothing changes then.
bool ChooseProgram(QWidget& owner) {
    app::Globals& g = app::G();
    const std::optional<QString> selected = dialogs::RunPicker(
        kPickerCaption, g.strExtProgram, &owner,
        [](dialogs::PickerHandOver& handOver, QWidget* parent) -> std::unique_ptr<dialogs::PickerWindow> {
            return std::make_unique<frmFileSelect>(handOver, parent);
        });
    if (!selected) return false;
    // A cancelled choice leaves the selection at the old program, which is
    // written back as it was.
    g.strExtProgram = *selected;
    app::WriteSetting("ExtPhotoProgram", g.strExtProgram.toStdString());
    return true;
}

void RemoveScratchFile() {
    const QString& temp = app::G().strTempFile;
    if (QFileInfo::exists(temp)) QFile::remove(temp);
    QCoreApplication::processEvents();
}

// Writes the scratch bitmap. When that fails (full disk, a folder in its
// place) the user is told, and the program is not started on a missing or
// stale file.
bool WriteScratchFile(const QImage& picture) {
    if (WriteBitmapFile(picture, app::G().strTempFile, FileWriteMode::Replace)) return true;
    app::ShowMessage(kNotSavedMessage, app::kMessageError);
    return false;
}

// Starts the program with the scratch file as its one argument: no shell, so
// blanks in either path need no quoting and nothing else can be started.
void StartProgram() {
    const app::Globals& g = app::G();
    if (g.strExtProgram.isEmpty()) return;
    QProcess::startDetached(g.strExtProgram, {QFileInfo(g.strTempFile).absoluteFilePath()});
}

}  // namespace

void ChooseExternalProgram(CommandHost& host) {
    ChooseProgram(host.Window());
}

void OpenInExternalProgram(CommandHost& host) {
    const app::Globals& g = app::G();
    if (g.strExtProgram.isEmpty() || !app::FileExists(Native(g.strExtProgram))) {
        if (!ChooseProgram(host.Window()) || host.IsUnloading())
            return;  // the editor closed while the picker showed
        // First start: the picture without drawings goes into the scratch
        // file, the picture with drawings onto the clipboard.
        RemoveScratchFile();
        if (!WriteScratchFile(host.Canvas().Picture())) return;
        PutPictureOnClipboard(host.Canvas().Image());
        QCoreApplication::processEvents();
        StartProgram();
        return;
    }
    // Normal start: the picture with drawings goes into the scratch file.
    RemoveScratchFile();
    if (!WriteScratchFile(host.Canvas().Image())) return;
    QCoreApplication::processEvents();
    StartProgram();
}

}  // namespace commands
