#include "dialogs/frmPicSelect.h"

#include <QGuiApplication>
#include <QString>

#include "platform/qt/PictureLoader.h"
#include "settings/PathHelpers.h"

namespace {

// Wait pointer for the whole application while it lives.
class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

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
    PlaceSharedControls();
    Form_Load();
}

void frmPicSelect::File1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;
    const WaitCursor wait;
    Picture1.Clear();
    // A file that cannot be read leaves the previous picture in picLoad, and
    // the preview shows that one again.
    QImage loaded = LoadPictureFile(FolderWithSeparator() + name);
    if (!loaded.isNull()) picLoad = std::move(loaded);
    if (!picLoad.isNull()) Picture1.ShowPicture(picLoad);
}

void frmPicSelect::OnAccept(const QString& folder, const QString& name) {
    PickerWindow::OnAccept(folder, name);
    if (onPictureName) onPictureName(dialogs::FromNative(app::GetNameWithoutExt(dialogs::ToNative(name))));
}

void frmPicSelect::OnCancel() {
    // Cancel answers "no file"; the close box leaves the preset.
    HandOverToCaller().strSelectedFile.clear();
}
