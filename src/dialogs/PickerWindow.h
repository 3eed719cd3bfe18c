// What the picture picker and the program picker have in common: the drive,
// folder and file lists, the accept and cancel buttons, the hand-over with
// the caller, the placement as a dialog of the editor window (transient for
// it on X11, its child on Wayland, so tiling compositors float it and every
// desktop places it over the editor), and Escape as cancel.
#pragma once

#include <QFont>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <string>

#include "dialogs/DirListBox.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"
#include "dialogs/PickerHandOver.h"

namespace dialogs {

class PickerWindow : public QWidget {
    Q_OBJECT
  public:
    ~PickerWindow() override;

    const PickerHandOver& HandOver() const { return handOver_; }

    // Accept (the accept button, a double click on a file, Enter on the file
    // list): with no file selected nothing happens and the window stays.
    void Accept();
    // Cancel (the cancel button, Escape).
    void Cancel();

  protected:
    // `owner` is the editor window the picker serves, or nullptr.
    PickerWindow(PickerHandOver& handOver, QWidget* owner, Qt::WindowFlags flags);

    PickerHandOver& HandOverToCaller() { return handOver_; }
    DriveListBox& Drives() { return drives_; }
    DirListBox& Folders() { return folders_; }
    FileListBox& Files() { return files_; }
    QPushButton& AcceptButton() { return acceptButton_; }
    QPushButton& CancelButton() { return cancelButton_; }
    // The file list's folder ending in the separator.
    QString FolderWithSeparator() const;

    // Places the controls both pickers share at the same spots.
    void PlaceSharedControls();
    // Window load: placement, topmost, front, caption, preselection.
    void Form_Load();
    // What cancel leaves as the answer (the picture picker empties it).
    virtual void OnCancel() {}
    // The accepted file: `folder` ends in the separator.
    virtual void OnAccept(const QString& folder, const QString& name);

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OnDriveChange();
    void OnFolderChange();
    // Closes the window and tells the waiting caller, once.
    void ReportBack();

    // Object names of the form design in quotes; tests find the controls by them.
    DriveListBox drives_;       // "Drive1"
    DirListBox folders_;        // "Dir1"
    FileListBox files_;         // "File1"
    QPushButton acceptButton_;  // "Command1"
    QPushButton cancelButton_;  // "Command2"
    QTimer idleTimer_;          // "Timer1": 20 ms, never enabled; its handler does nothing

    PickerHandOver& handOver_;
    bool open_ = true;  // until the window reported back through intDialogOpen
};

// The accept button's font: a bold sans-serif of 9.75 points.
QFont AcceptButtonFont();

// File-system name of a path for the Qt-free helpers, and back.
std::string ToNative(const QString& path);
QString FromNative(const std::string& path);

}  // namespace dialogs
