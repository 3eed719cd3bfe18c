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
      drives_(this),
      folders_(this),
      files_(this),
      acceptButton_(this),
      cancelButton_(this),
      idleTimer_(this),
      handOver_(handOver) {
    drives_.setObjectName(QStringLiteral("Drive1"));
    folders_.setObjectName(QStringLiteral("Dir1"));
    files_.setObjectName(QStringLiteral("File1"));
    acceptButton_.setObjectName(QStringLiteral("Command1"));
    cancelButton_.setObjectName(QStringLiteral("Command2"));
    idleTimer_.setObjectName(QStringLiteral("Timer1"));
    setWindowIcon(QIcon());
    acceptButton_.setText(QStringLiteral("Ü B E R N E H M E N"));
    acceptButton_.setFont(AcceptButtonFont());
    cancelButton_.setText(QStringLiteral("A B B R E C H E N"));
    idleTimer_.setInterval(20);

    connect(&drives_, &DriveListBox::Change, this, &PickerWindow::OnDriveChange);
    connect(&folders_, &DirListBox::Change, this, &PickerWindow::OnFolderChange);
    connect(&files_, &FileListBox::DblClick, this, &PickerWindow::Accept);
    connect(&acceptButton_, &QPushButton::clicked, this, &PickerWindow::Accept);
    connect(&cancelButton_, &QPushButton::clicked, this, &PickerWindow::Cancel);
}

PickerWindow::~PickerWindow() {
    // Destroyed without being closed: still report back to a waiting caller.
    if (open_) handOver_.intDialogOpen = 0;
}

QString PickerWindow::FolderWithSeparator() const {
    std::string folder = ToNative(files_.Path());
    app::AddBackslash(folder);
    return FromNative(folder);
}

void PickerWindow::PlaceSharedControls() {
    drives_.setGeometry(4, 4, 165, 21);
    folders_.setGeometry(4, 28, 165, 306);
    files_.setGeometry(172, 4, 181, 240);
    cancelButton_.setGeometry(172, 248, 181, 41);
    acceptButton_.setGeometry(172, 292, 181, 41);
    // The lists start at the process's current folder.
    folders_.SetPath(drives_.CurrentFolderOf(drives_.Drive()));
}

void PickerWindow::Form_Load() {
    app::CenterForm(*this);
    app::SetTopMost(*this);
    raise();
    setWindowTitle(handOver_.strDialogCaption);
    Preselect(handOver_.strSelectedFile, drives_, folders_, files_);
}

void PickerWindow::OnDriveChange() {
    folders_.SetPath(drives_.CurrentFolderOf(drives_.Drive()));
    if (folders_.Path().isEmpty()) return;
    // A drive whose folder cannot be opened puts the drive list back on the
    // folder's drive.
    const QSignalBlocker quiet(drives_);
    drives_.SetDriveFor(folders_.Path());
}

void PickerWindow::OnFolderChange() {
    drives_.RememberFolder(folders_.Path());
    files_.SetPath(folders_.Path());
}

void PickerWindow::Accept() {
    const QString name = files_.FileName();
    if (name.isEmpty()) return;  // nothing selected: the window stays
    const QString folder = FolderWithSeparator();
    OnAccept(folder, name);
    ReportBack();
}

void PickerWindow::OnAccept(const QString& folder, const QString& name) {
    handOver_.strSelectedFile = folder + name;
}

void PickerWindow::Cancel() {
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
        Cancel();
        return;
    }
    // Enter that no control took accepts, as in every dialog of the desktop;
    // on the cancel button it cancels.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focusWidget() == &cancelButton_) {
            Cancel();
        } else {
            Accept();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace dialogs
