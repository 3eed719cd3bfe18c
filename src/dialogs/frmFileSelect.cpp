#include "dialogs/frmFileSelect.h"

#include <QCloseEvent>

#include "dialogs/PickerSupport.h"
#include "program/ProgramValues.h"
#include "widgets/WindowHelpers.h"

frmFileSelect::frmFileSelect(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Drive1(this),
      Dir1(this),
      File1(this),
      Command1(this),
      Command2(this),
      Timer1(this) {
    setWindowTitle(QStringLiteral("Datei auswählen..."));
    setWindowIcon(QIcon());
    setFixedSize(357, 337);

    Drive1.setGeometry(4, 4, 165, 21);
    Dir1.setGeometry(4, 28, 165, 306);
    File1.setGeometry(172, 4, 181, 240);
    File1.SetFilter(dialogs::FileListBox::Filter::Programs);
    Command1.setGeometry(172, 292, 181, 41);
    Command1.setText(QStringLiteral("Ü B E R N E H M E N"));
    Command1.setFont(dialogs::AcceptButtonFont());
    Command2.setGeometry(172, 248, 181, 41);
    Command2.setText(QStringLiteral("A B B R E C H E N"));
    setTabOrder(&Drive1, &Dir1);
    setTabOrder(&Dir1, &File1);
    setTabOrder(&File1, &Command1);
    setTabOrder(&Command1, &Command2);

    Timer1.setInterval(20);  // its handler does nothing, and it is never enabled

    connect(&Drive1, &dialogs::DriveListBox::Change, this, &frmFileSelect::Drive1_Change);
    connect(&Dir1, &dialogs::DirListBox::Change, this, &frmFileSelect::Dir1_Change);
    connect(&File1, &dialogs::FileListBox::DblClick, this, &frmFileSelect::Command1_Click);
    connect(&Command1, &QPushButton::clicked, this, &frmFileSelect::Command1_Click);
    connect(&Command2, &QPushButton::clicked, this, &frmFileSelect::Command2_Click);

    Dir1.SetPath(Drive1.CurrentFolderOf(Drive1.Drive()));
    Form_Load();
}

frmFileSelect::~frmFileSelect() {
    if (open_) app::G().intDialogOpen = 0;
}

void frmFileSelect::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
    raise();
    setWindowTitle(app::G().strDialogCaption);
    dialogs::Preselect(app::G().strSelectedFile, Drive1, Dir1, File1);
}

void frmFileSelect::Drive1_Change() {
    dialogs::OpenChosenDrive(Drive1, Dir1);
}

void frmFileSelect::Dir1_Change() {
    Drive1.RememberFolder(Dir1.Path());
    File1.SetPath(Dir1.Path());
}

void frmFileSelect::Command1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;  // nothing selected: the window stays
    app::G().strSelectedFile = dialogs::FolderWithSeparator(File1) + name;
    open_ = false;
    app::G().intDialogOpen = 0;
    close();
}

void frmFileSelect::Command2_Click() {
    open_ = false;
    app::G().intDialogOpen = 0;
    close();
}

void frmFileSelect::closeEvent(QCloseEvent* event) {
    if (open_) {
        open_ = false;
        app::G().intDialogOpen = 0;
    }
    QWidget::closeEvent(event);
}
