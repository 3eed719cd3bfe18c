// The program picker: drive, folder and program lists (regular files the user
// may execute), accept and cancel. Modeless, with the same hand-over through
// app::G() as the picture picker; it touches neither the picture name nor the
// picture folder.
#pragma once

#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "dialogs/DirListBox.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/FileListBox.h"

class frmFileSelect : public QWidget {
    Q_OBJECT
  public:
    explicit frmFileSelect(QWidget* parent = nullptr);
    ~frmFileSelect() override;

    dialogs::DriveListBox Drive1;
    dialogs::DirListBox Dir1;
    dialogs::FileListBox File1;
    QPushButton Command1;  // accept
    QPushButton Command2;  // cancel
    QTimer Timer1;         // 20 ms, never enabled

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();  // accept (also a double click on a file)
    void Command2_Click();  // cancel: strSelectedFile keeps its value

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool open_ = true;
};
