// Pieces the two picker windows share: fonts, native file-name conversion
// and the preselection of a file in the three lists.
#pragma once

#include <QFont>
#include <QString>
#include <string>

namespace dialogs {

class DriveListBox;
class DirListBox;
class FileListBox;

// The accept button's font: a bold sans-serif of 9.75 points.
QFont AcceptButtonFont();

// File-system name of a path for the Qt-free helpers, and back.
std::string ToNative(const QString& path);
QString FromNative(const std::string& path);

// The folder of the file list ending in the separator.
QString FolderWithSeparator(const FileListBox& files);

// Shows the chosen drive's current folder in the folder list. A drive whose
// folder cannot be opened puts the drive list back on the folder's drive.
void OpenChosenDrive(DriveListBox& drives, DirListBox& folders);

// Opens the drive and folder of `file` and selects its entry in the file list
// (letter case ignored when no entry matches exactly). Does nothing when the
// file does not exist; a folder that cannot be opened leaves the lists as they are.
void Preselect(const QString& file, DriveListBox& drives, DirListBox& folders, FileListBox& files);

}  // namespace dialogs
