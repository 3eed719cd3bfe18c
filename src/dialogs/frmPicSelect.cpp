#include "dialogs/frmPicSelect.h"

#include <QGuiApplication>
#include <QString>
#include <atomic>
#include <chrono>
#include <utility>

#include "platform/qt/PictureLoader.h"
#include "settings/PathHelpers.h"

namespace {

// How often a decoding preview is looked at.
constexpr int kPreviewPollMs = 15;

}  // namespace

frmPicSelect::frmPicSelect(dialogs::PickerHandOver& handOver, QWidget* owner)
    : PickerWindow(handOver, owner,
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Picture1(this) {
    resize(752, 338);  // client area; no resize handling: the controls keep their places
    File1.SetPattern(QString::fromLatin1(kPicturePattern));
    Picture1.setGeometry(357, 5, 391, 329);
    Picture1.Clear();
    setTabOrder(&Drive1, &Dir1);
    setTabOrder(&Dir1, &File1);
    setTabOrder(&File1, &Command2);
    setTabOrder(&Command2, &Command1);
    connect(&File1, &dialogs::FileListBox::Click, this, &frmPicSelect::File1_Click);
    previewPoll_.setInterval(kPreviewPollMs);
    connect(&previewPoll_, &QTimer::timeout, this, &frmPicSelect::ShowPreviewWhenDecoded);
    PlaceSharedControls();
    Form_Load();
}

frmPicSelect::~frmPicSelect() = default;

void frmPicSelect::File1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;
    Picture1.Clear();
    // The picker keeps answering while a large picture decodes: another
    // click starts over, and "Übernehmen" closes it at once.
    previewPath_ = FolderWithSeparator() + name;
    preview_ = std::make_unique<platform::PendingPicture>(platform::PendingPicture::File(previewPath_));
    Picture1.setCursor(Qt::BusyCursor);
    previewPoll_.start();
    ShowPreviewWhenDecoded();
}

void frmPicSelect::ShowPreviewWhenDecoded() {
    if (!preview_ || !preview_->Ready(std::chrono::milliseconds(0))) return;
    previewPoll_.stop();
    Picture1.unsetCursor();
    QImage loaded = preview_->Take();
    preview_.reset();
    // A file that cannot be read leaves the previous picture in picLoad, and
    // the preview shows that one again.
    if (!loaded.isNull()) {
        picLoad = std::move(loaded);
        loadedPath_ = previewPath_;
    }
    if (!picLoad.isNull()) Picture1.ShowPicture(picLoad);
}

void frmPicSelect::OnAccept(const QString& folder, const QString& name) {
    PickerWindow::OnAccept(folder, name);
    // The accepted picture goes to the caller as it decodes: the preview's
    // decode of it, its preview picture, or a decode started now.
    const QString path = folder + name;
    if (onPicture) {
        previewPoll_.stop();
        if (preview_ && previewPath_ == path) {
            onPicture(std::move(*preview_));
        } else if (!preview_ && loadedPath_ == path && !picLoad.isNull()) {
            onPicture(
                platform::PendingPicture([picture = picLoad](const std::atomic<bool>&) { return picture; }));
        } else {
            onPicture(platform::PendingPicture::File(path));
        }
        preview_.reset();
    }
    if (onPictureName) onPictureName(dialogs::FromNative(app::GetNameWithoutExt(dialogs::ToNative(name))));
}

void frmPicSelect::OnCancel() {
    // Cancel answers "no file"; the close box leaves the preset.
    HandOverToCaller().strSelectedFile.clear();
}
