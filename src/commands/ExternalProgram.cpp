#include "commands/ExternalProgram.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "canvas/EditorState.h"
#include "commands/BitmapFileWriter.h"
#include "commands/CommandHost.h"
#include "commands/SavePicture.h"
#include "dialogs/PickerWait.h"
#include "dialogs/frmFileSelect.h"
#include "platform/qt/PictureClipboard.h"
#include "program/ProgramContext.h"
#include "settings/PathHelpers.h"

namespace commands {

namespace {

const QString kPickerCaption = QStringLiteral("Externes Bildverarbeitungsprogramm auswählen");

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Runs the program picker and stores its answer. False when another picker
// is already open (the waits would tangle); nothing changes then.
bool ChooseProgram(CommandHost& host) {
    canvas::EditorState& state = host.State();
    const std::optional<QString> selected = dialogs::RunPicker(
        kPickerCaption, state.ExtProgram(), &host.Window(),
        [](dialogs::PickerHandOver& handOver, QWidget* parent) -> std::unique_ptr<dialogs::PickerWindow> {
            return std::make_unique<frmFileSelect>(handOver, parent);
        });
    if (!selected) return false;
    // A cancelled choice leaves the selection at the old program, which is
    // written back as it was.
    state.SetExtProgram(*selected);
    host.ProgramSettings().Write("ExtPhotoProgram", selected->toStdString());
    return true;
}

void RemoveScratchFile(const QString& temp) {
    if (QFileInfo::exists(temp)) QFile::remove(temp);
    QCoreApplication::processEvents();
}

// Writes the scratch bitmap. When that fails (full disk, a folder in its
// place) the user is told, and the program is not started on a missing or
// stale file.
bool WriteScratchFile(CommandHost& host, const QImage& picture) {
    if (WriteBitmapFile(picture, host.Paths().strTempFile, FileWriteMode::Replace)) return true;
    host.ShowMessage(kNotSavedMessage, program::kMessageError);
    return false;
}

// Starts the program with the scratch file as its one argument: no shell, so
// blanks in either path need no quoting and nothing else can be started.
void StartProgram(const QString& program, const QString& temp) {
    if (program.isEmpty()) return;
    QProcess::startDetached(program, {QFileInfo(temp).absoluteFilePath()});
}

}  // namespace

void ChooseExternalProgram(CommandHost& host) {
    ChooseProgram(host);
}

void OpenInExternalProgram(CommandHost& host) {
    canvas::EditorState& state = host.State();
    const QString& temp = host.Paths().strTempFile;
    if (state.ExtProgram().isEmpty() || !app::FileExists(Native(state.ExtProgram()))) {
        if (!ChooseProgram(host) || host.IsUnloading()) return;  // the editor closed while the picker showed
        // First start: the picture without drawings goes into the scratch
        // file, the picture with drawings onto the clipboard.
        RemoveScratchFile(temp);
        if (!WriteScratchFile(host, state.Canvas().Picture())) return;
        state.Clipboard().Put(state.Canvas().TakeVersion(), platform::ClipboardUse::Copy);
        QCoreApplication::processEvents();
        StartProgram(state.ExtProgram(), temp);
        return;
    }
    // Normal start: the picture with drawings goes into the scratch file.
    RemoveScratchFile(temp);
    if (!WriteScratchFile(host, state.Canvas().Image())) return;
    QCoreApplication::processEvents();
    StartProgram(state.ExtProgram(), temp);
}

}  // namespace commands
