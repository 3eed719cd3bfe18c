// File list of the picker windows: the files of one folder that pass the
// list's filter, sorted by name ignoring letter case. Thousands of entries
// are listed at once; a folder that cannot be read lists nothing.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace dialogs {

class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    enum class Filter {
        Pattern,   // names matching Pattern(), letter case ignored
        Programs,  // regular files the user may execute
    };

    explicit FileListBox(QWidget* parent = nullptr);

    // Patterns separated by ';' ("*.gif;*.bmp"); used with Filter::Pattern.
    void SetPattern(const QString& patterns);
    void SetFilter(Filter filter);

    QString Path() const { return path_; }
    void SetPath(const QString& path);  // lists the folder again, even if unchanged

    // Name of the selected file, or "" when none is selected.
    QString FileName() const;
    // Selects the entry named `name`: the entry with exactly that name when
    // there is one, else the first whose name matches ignoring letter case.
    // Returns false (and leaves the selection empty) when none matches.
    bool SelectFileName(const QString& name);

  signals:
    // A file was clicked, or the keyboard moved the selection to another file.
    void Click();
    void DblClick();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Fill();
    QString path_;
    QStringList patterns_;
    Filter filter_ = Filter::Pattern;
};

}  // namespace dialogs
