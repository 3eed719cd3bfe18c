// Drive list of the picker windows: the mounted volumes, the root "/" first.
// Each drive remembers the folder last shown on it, as the drives of the old
// file dialogs did, so switching back returns to that folder.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QString>

namespace dialogs {

class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // Root folder of the chosen drive ("/", "/media/usb", ...).
    QString Drive() const;
    // Chooses the drive that holds `path` (the volume with the longest root
    // that is a prefix of it). Emits Change when the drive differs.
    void SetDriveFor(const QString& path);
    // The folder to show for `drive`: the one remembered for it, else the
    // process's current folder when it lies on that drive, else its root.
    QString CurrentFolderOf(const QString& drive) const;
    // Remembers `folder` as its drive's current folder and shows that drive
    // (without emitting Change).
    void RememberFolder(const QString& folder);

    // The drive whose root is the longest prefix of `path` among `roots`.
    static QString DriveOf(const QString& path, const QStringList& roots);

  signals:
    void Change();

  private:
    QStringList Roots() const;
    QHash<QString, QString> lastFolder_;
};

}  // namespace dialogs
