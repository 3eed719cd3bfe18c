// Folder list of the picker windows: the chain of folders from the root down
// to the current folder, then the current folder's subfolders, indented like
// a tree. A double click (or Enter) on an entry opens that folder.
#pragma once

#include <QListWidget>
#include <QString>

namespace dialogs {

class DirListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The current folder (absolute, without a trailing separator except "/").
    QString Path() const { return path_; }
    // Opens `path` when it is an existing folder; emits Change when the folder
    // differs. A folder that cannot be read shows no subfolders, silently.
    void SetPath(const QString& path);

  signals:
    void Change();

  private:
    void Fill();
    QString path_;
};

}  // namespace dialogs
