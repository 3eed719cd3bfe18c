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
      previewBox_(this) {
    resize(752, 338);  // client area; no resize handling: the controls keep their places
    Files().SetPattern(QString::fromLatin1(kPicturePattern));
    previewBox_.setObjectName(QStringLiteral("Picture1"));
    previewBox_.setGeometry(357, 5, 391, 329);
    previewBox_.Clear();
    setTabOrder(&Drives(), &Folders());
    setTabOrder(&Folders(), &Files());
    setTabOrder(&Files(), &CancelButton());
    setTabOrder(&CancelButton(), &AcceptButton());
    connect(&Files(), &dialogs::FileListBox::Click, this, &frmPicSelect::OnFileClick);
    previewPoll_.setInterval(kPreviewPollMs);
    connect(&previewPoll_, &QTimer::timeout, this, &frmPicSelect::ShowPreviewWhenDecoded);
    PlaceSharedControls();
    Form_Load();
}

frmPicSelect::~frmPicSelect() = default;

void frmPicSelect::OnFileClick() {
    const QString name = Files().FileName();
    if (name.isEmpty()) return;
    previewBox_.Clear();
    // The picker keeps answering while a large picture decodes: another
    // click starts over, and "Übernehmen" closes it at once.
    previewPath_ = FolderWithSeparator() + name;
    preview_ = std::make_unique<platform::PendingPicture>(platform::PendingPicture::File(previewPath_));
    previewBox_.setCursor(Qt::BusyCursor);
    previewPoll_.start();
    ShowPreviewWhenDecoded();
}

void frmPicSelect::ShowPreviewWhenDecoded() {
    if (!preview_ || !preview_->Ready(std::chrono::milliseconds(0))) return;
    previewPoll_.stop();
    previewBox_.unsetCursor();
    QImage loaded = preview_->Take();
    preview_.reset();
    // A file that cannot be read leaves the previous picture in picLoad_, and
    // the preview shows that one again.
    if (!loaded.isNull()) {
        picLoad_ = std::move(loaded);
        loadedPath_ = previewPath_;
    }
    if (!picLoad_.isNull()) previewBox_.ShowPicture(picLoad_);
}

void frmPicSelect::OnAccept(const QString& folder, const QString& name) {
    PickerWindow::OnAccept(folder, name);
    // The accepted picture goes to the caller as it decodes: the preview's
    // decode of it, its preview picture, or a decode started now.
    const QString path = folder + name;
    if (onPicture_) {
        previewPoll_.stop();
        if (preview_ && previewPath_ == path) {
            onPicture_(std::move(*preview_));
        } else if (!preview_ && loadedPath_ == path && !picLoad_.isNull()) {
            onPicture_(
                platform::PendingPicture([picture = picLoad_](const std::atomic<bool>&) { return picture; }));
        } else {
            onPicture_(platform::PendingPicture::File(path));
        }
        preview_.reset();
    }
    if (onPictureName_) onPictureName_(dialogs::FromNative(app::GetNameWithoutExt(dialogs::ToNative(name))));
}

void frmPicSelect::OnCancel() {
    // Cancel answers "no file"; the close box leaves the preset.
    HandOverToCaller().strSelectedFile.clear();
}
