// The picture picker: drive, folder and picture-file lists, a preview of the
// file clicked, accept and cancel. Modeless: the caller (see RunPicker) fills
// a hand-over, makes the window and processes events until the window
// reports back; the accepted file's full path is the answer.
#pragma once

#include <QImage>
#include <functional>

#include "dialogs/PickerWindow.h"
#include "dialogs/PreviewBox.h"

class frmPicSelect : public dialogs::PickerWindow {
    Q_OBJECT
  public:
    // Files the list shows, letter case ignored.
    static constexpr const char* kPicturePattern = "*.gif;*.bmp;*.jpg;*.jpeg;*.wmf";

    explicit frmPicSelect(dialogs::PickerHandOver& handOver, QWidget* owner = nullptr);

    dialogs::PreviewBox Picture1;  // the preview
    QImage picLoad;                // the picture last clicked that could be read

    // Receives the accepted picture's name without its extension, for the
    // editor's picture name box.
    std::function<void(const QString& name)> onPictureName;

    void File1_Click();  // preview

  protected:
    void OnCancel() override;
    void OnAccept(const QString& folder, const QString& name) override;
};
