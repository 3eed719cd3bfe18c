// The picture picker: drive, folder and picture-file lists, a preview of the
// file clicked, accept and cancel. Modeless: the caller sets the hand-over
// values of app::G() (intDialogOpen = 1, strDialogCaption, strSelectedFile),
// creates and shows the window and processes events until intDialogOpen
// turns 0 (see dialogs::WaitForPicker).
#pragma once

#include <functional>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "dialogs/DirListBox.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"
#include "dialogs/PreviewBox.h"

class frmPicSelect : public QWidget {
    Q_OBJECT
  public:
    // Files the list shows, letter case ignored.
    static constexpr const char* kPicturePattern = "*.gif;*.bmp;*.jpg;*.jpeg;*.wmf";

    explicit frmPicSelect(QWidget* parent = nullptr);
    ~frmPicSelect() override;

    dialogs::DriveListBox Drive1;
    dialogs::DirListBox Dir1;
    dialogs::FileListBox File1;
    QPushButton Command2;          // cancel
    QPushButton Command1;          // accept
    dialogs::PreviewBox Picture1;  // the preview
    QImage picLoad;                // the picture last clicked that could be read
    QTimer Timer1;                 // 20 ms, never enabled

    // Receives the accepted picture's name without its extension, for the
    // editor's picture name box.
    std::function<void(const QString& name)> onPictureName;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();     // preview
    void Command1_Click();  // accept (also a double click on a file)
    void Command2_Click();  // cancel

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool open_ = true;  // until the window reported back through intDialogOpen
};
