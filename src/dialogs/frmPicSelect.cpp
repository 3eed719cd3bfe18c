#include "dialogs/frmPicSelect.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QString>

#include "dialogs/PickerSupport.h"
#include "platform/qt/PictureLoader.h"
#include "program/ProgramValues.h"
#include "settings/PathHelpers.h"
#include "widgets/WindowHelpers.h"

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

frmPicSelect::frmPicSelect(QWidget* parent)
    : QWidget(parent, Qt::Window),
      Drive1(this),
      Dir1(this),
      File1(this),
      Command2(this),
      Command1(this),
      Picture1(this),
      Timer1(this) {
    setWindowIcon(QIcon());
    resize(752, 338);  // client area; no resize handling: the controls keep their places

    Drive1.setGeometry(4, 4, 165, 21);
    Dir1.setGeometry(4, 28, 165, 306);
    File1.setGeometry(172, 4, 181, 240);
    File1.SetPattern(QString::fromLatin1(kPicturePattern));
    Command2.setGeometry(172, 248, 181, 41);
    Command2.setText(QStringLiteral("A B B R E C H E N"));
    Command1.setGeometry(172, 292, 181, 41);
    Command1.setText(QStringLiteral("Ü B E R N E H M E N"));
    Command1.setFont(dialogs::AcceptButtonFont());
    Picture1.setGeometry(357, 5, 391, 329);
    Picture1.Clear();
    setTabOrder(&Drive1, &Dir1);
    setTabOrder(&Dir1, &File1);
    setTabOrder(&File1, &Command2);
    setTabOrder(&Command2, &Command1);

    Timer1.setInterval(20);  // its handler does nothing, and it is never enabled

    connect(&Drive1, &dialogs::DriveListBox::Change, this, &frmPicSelect::Drive1_Change);
    connect(&Dir1, &dialogs::DirListBox::Change, this, &frmPicSelect::Dir1_Change);
    connect(&File1, &dialogs::FileListBox::Click, this, &frmPicSelect::File1_Click);
    connect(&File1, &dialogs::FileListBox::DblClick, this, &frmPicSelect::Command1_Click);
    connect(&Command1, &QPushButton::clicked, this, &frmPicSelect::Command1_Click);
    connect(&Command2, &QPushButton::clicked, this, &frmPicSelect::Command2_Click);

    // The lists start at the process's current folder.
    Dir1.SetPath(Drive1.CurrentFolderOf(Drive1.Drive()));
    Form_Load();
}

frmPicSelect::~frmPicSelect() {
    // Destroyed without being closed: still report back to a waiting caller.
    if (open_) app::G().intDialogOpen = 0;
}

void frmPicSelect::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
    raise();
    setWindowTitle(app::G().strDialogCaption);
    dialogs::Preselect(app::G().strSelectedFile, Drive1, Dir1, File1);
}

void frmPicSelect::Drive1_Change() {
    dialogs::OpenChosenDrive(Drive1, Dir1);
}

void frmPicSelect::Dir1_Change() {
    Drive1.RememberFolder(Dir1.Path());
    File1.SetPath(Dir1.Path());
}

void frmPicSelect::File1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;
    const WaitCursor wait;
    Picture1.Clear();
    // A file that cannot be read leaves the previous picture in picLoad, and
    // the preview shows that one again.
    QImage loaded = LoadPictureFile(dialogs::FolderWithSeparator(File1) + name);
    if (!loaded.isNull()) picLoad = std::move(loaded);
    if (!picLoad.isNull()) Picture1.ShowPicture(picLoad);
}

void frmPicSelect::Command1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;  // nothing selected: the window stays
    const QString folder = dialogs::FolderWithSeparator(File1);
    app::Globals& g = app::G();
    g.strSelectedFile = folder + name;
    if (onPictureName) onPictureName(dialogs::FromNative(app::GetNameWithoutExt(dialogs::ToNative(name))));
    open_ = false;
    g.intDialogOpen = 0;
    close();
}

void frmPicSelect::Command2_Click() {
    app::G().strSelectedFile.clear();
    open_ = false;
    app::G().intDialogOpen = 0;
    close();
}

void frmPicSelect::closeEvent(QCloseEvent* event) {
    // Closed by any means (also the close box): the caller stops waiting.
    if (open_) {
        open_ = false;
        app::G().intDialogOpen = 0;
    }
    QWidget::closeEvent(event);
}
