#include "dialogs/PickerWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "settings/PathHelpers.h"
#include "widgets/WindowHelpers.h"

namespace dialogs {

namespace {

// Opens the drive and folder of `file` and selects its entry in the file list
// (letter case ignored when no entry matches exactly). Does nothing when the
// file does not exist; a folder that cannot be opened leaves the lists as they are.
void Preselect(const QString& file, DriveListBox& drives, DirListBox& folders, FileListBox& files) {
    if (file.isEmpty() || !app::FileExists(ToNative(file))) return;
    const QFileInfo info(file);
    const QString folder = QDir::cleanPath(info.absolutePath());
    if (!QFileInfo(folder).isDir()) return;
    drives.SetDriveFor(folder);
    folders.SetPath(folder);
    if (folders.Path() != folder) return;  // the folder could not be opened
    if (files.Path() != folder) files.SetPath(folder);
    files.SelectFileName(info.fileName());
}

}  // namespace

QFont AcceptButtonFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

std::string ToNative(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromNative(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

PickerWindow::PickerWindow(PickerHandOver& handOver, QWidget* owner, Qt::WindowFlags flags)
    // A window with a parent widget is transient for it (X11) or its child
    // (Wayland's xdg_toplevel.set_parent).
    : QWidget(owner, flags | Qt::Dialog),
      Drive1(this),
      Dir1(this),
      File1(this),
      Command1(this),
      Command2(this),
      Timer1(this),
      handOver_(handOver) {
    setWindowIcon(QIcon());
    Command1.setText(QStringLiteral("Ü B E R N E H M E N"));
    Command1.setFont(AcceptButtonFont());
    Command2.setText(QStringLiteral("A B B R E C H E N"));
    Timer1.setInterval(20);

    connect(&Drive1, &DriveListBox::Change, this, &PickerWindow::Drive1_Change);
    connect(&Dir1, &DirListBox::Change, this, &PickerWindow::Dir1_Change);
    connect(&File1, &FileListBox::DblClick, this, &PickerWindow::Command1_Click);
    connect(&Command1, &QPushButton::clicked, this, &PickerWindow::Command1_Click);
    connect(&Command2, &QPushButton::clicked, this, &PickerWindow::Command2_Click);
}

PickerWindow::~PickerWindow() {
    // Destroyed without being closed: still report back to a waiting caller.
    if (open_) handOver_.intDialogOpen = 0;
}

QString PickerWindow::FolderWithSeparator() const {
    std::string folder = ToNative(File1.Path());
    app::AddBackslash(folder);
    return FromNative(folder);
}

void PickerWindow::PlaceSharedControls() {
    Drive1.setGeometry(4, 4, 165, 21);
    Dir1.setGeometry(4, 28, 165, 306);
    File1.setGeometry(172, 4, 181, 240);
    Command2.setGeometry(172, 248, 181, 41);
    Command1.setGeometry(172, 292, 181, 41);
    // The lists start at the process's current folder.
    Dir1.SetPath(Drive1.CurrentFolderOf(Drive1.Drive()));
}

void PickerWindow::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
    raise();
    setWindowTitle(handOver_.strDialogCaption);
    Preselect(handOver_.strSelectedFile, Drive1, Dir1, File1);
}

void PickerWindow::Drive1_Change() {
    Dir1.SetPath(Drive1.CurrentFolderOf(Drive1.Drive()));
    if (Dir1.Path().isEmpty()) return;
    // A drive whose folder cannot be opened puts the drive list back on the
    // folder's drive.
    const QSignalBlocker quiet(Drive1);
    Drive1.SetDriveFor(Dir1.Path());
}

void PickerWindow::Dir1_Change() {
    Drive1.RememberFolder(Dir1.Path());
    File1.SetPath(Dir1.Path());
}

void PickerWindow::Command1_Click() {
    const QString name = File1.FileName();
    if (name.isEmpty()) return;  // nothing selected: the window stays
    const QString folder = FolderWithSeparator();
    OnAccept(folder, name);
    ReportBack();
}

void PickerWindow::OnAccept(const QString& folder, const QString& name) {
    handOver_.strSelectedFile = folder + name;
}

void PickerWindow::Command2_Click() {
    OnCancel();
    ReportBack();
}

void PickerWindow::ReportBack() {
    open_ = false;
    handOver_.intDialogOpen = 0;
    close();
}

void PickerWindow::closeEvent(QCloseEvent* event) {
    // Closed by any means (also the close box): the caller stops waiting.
    if (open_) {
        open_ = false;
        handOver_.intDialogOpen = 0;
    }
    QWidget::closeEvent(event);
}

void PickerWindow::keyPressEvent(QKeyEvent* event) {
    // Escape is cancel, as in every dialog of the desktop.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command2_Click();
        return;
    }
    // Enter that no control took accepts, as in every dialog of the desktop;
    // on the cancel button it cancels.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focusWidget() == &Command2) {
            Command2_Click();
        } else {
            Command1_Click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace dialogs
