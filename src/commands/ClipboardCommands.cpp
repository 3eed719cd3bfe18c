#include "commands/ClipboardCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "canvas/EditorState.h"
#include "commands/CommandHost.h"
#include "platform/qt/PendingPicture.h"
#include "platform/qt/PictureClipboard.h"
#include "platform/qt/PictureLoader.h"

namespace commands {

QImage ClipboardPicture() {
    // This program's own picture comes back as it went in, without encoding.
    if (const platform::PictureMimeData* own = platform::OwnClipboardPicture()) {
        return platform::PictureWithinLimits(own->Picture());
    }
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return {};
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr) return {};
    // Another program's picture arrives as a file's bytes: it goes through
    // the picture loader with the guards files get, before anything is
    // decoded. A picture this program holds on the clipboard itself is taken
    // as it is held, within the same limits.
    if (!clipboard->ownsClipboard() || !data->hasImage()) {
        for (const char* format : {"image/png", "image/bmp", "image/jpeg", "image/gif", "image/tiff"}) {
            if (data->hasFormat(QLatin1String(format)))
                return LoadPictureData(data->data(QLatin1String(format)));
        }
    }
    if (!data->hasImage()) return {};
    return platform::PictureWithinLimits(clipboard->image());
}

void EmptyClipboard() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->clear();
}

void PutPictureOnClipboard(const QImage& picture) {
    platform::PutPictureOnClipboard(picture, platform::ClipboardUse::Copy);
}

void CopyPicture(CommandHost& host) {
    // One write replaces what the clipboard held; emptying it first would
    // only announce a second change to every clipboard watcher. The copy is a
    // version of the canvas: drawing on afterwards leaves it as it was.
    canvas::EditorState& state = host.State();
    state.Clipboard().Put(state.Canvas().TakeVersion(), platform::ClipboardUse::Copy);
    QCoreApplication::processEvents();
}

void PastePicture(CommandHost& host) {
    // No picture on the clipboard: the canvas keeps its picture and drawings.
    const platform::PictureIntake::Stretch intake(host.State().Intake());
    QImage picture = ClipboardPicture();
    if (picture.isNull()) return;
    host.ReplacePicture(std::move(picture), AfterReplace::Layout);
}

void UndoPicture(CommandHost& host) {
    canvas::EditorState& state = host.State();
    if (state.UndoReady() == 1) {
        // The clipboard's picture is normally the snapshot this program put
        // there at the last press, a version of the canvas.
        const platform::PictureIntake::Stretch intake(state.Intake());
        if (QImage picture = ClipboardPicture(); !picture.isNull())
            host.ReplacePicture(std::move(picture), AfterReplace::UndoStep);
    }
    state.SetUndoReady(0);
}

}  // namespace commands
