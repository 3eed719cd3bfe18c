#include "commands/ClipboardCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "editor/frmCapture.h"

namespace commands {

QImage ClipboardPicture() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return {};
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasImage()) return {};
    return clipboard->image();
}

void EmptyClipboard() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->clear();
}

void PutPictureOnClipboard(const QImage& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || picture.isNull()) return;
    auto data = std::make_unique<QMimeData>();
    data->setImageData(picture);
    clipboard->setMimeData(data.release());  // the clipboard takes ownership
}

void CopyPicture(frmCapture& form) {
    EmptyClipboard();
    QCoreApplication::processEvents();
    PutPictureOnClipboard(form.Picture2.Image());
    QCoreApplication::processEvents();
}

void PastePicture(frmCapture& form) {
    // No picture on the clipboard: the canvas keeps its picture and drawings.
    QImage picture = ClipboardPicture();
    if (picture.isNull()) return;
    form.ReplacePicture(std::move(picture), frmCapture::Then::Layout);
}

void UndoPicture(frmCapture& form) {
    if (form.intUndoReady == 1) {
        // The clipboard's picture is shared, not copied: it is normally the
        // snapshot this program put there at the last press.
        if (QImage picture = ClipboardPicture(); !picture.isNull())
            form.ReplacePicture(std::move(picture), frmCapture::Then::UndoStep);
    }
    form.intUndoReady = 0;
}

}  // namespace commands
