#include "dialogs/PickerSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>

#include "dialogs/DirListBox.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"
#include "settings/PathHelpers.h"

namespace dialogs {

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

QString FolderWithSeparator(const FileListBox& files) {
    std::string folder = ToNative(files.Path());
    app::AddBackslash(folder);
    return FromNative(folder);
}

void OpenChosenDrive(DriveListBox& drives, DirListBox& folders) {
    folders.SetPath(drives.CurrentFolderOf(drives.Drive()));
    if (folders.Path().isEmpty()) return;
    const QSignalBlocker quiet(drives);
    drives.SetDriveFor(folders.Path());
}

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

}  // namespace dialogs
