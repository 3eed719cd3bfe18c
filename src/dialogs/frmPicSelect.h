// The picture picker: drive, folder and picture-file lists, a preview of the
// file clicked, accept and cancel. Modeless: the caller (see RunPicker) fills
// a hand-over, makes the window and processes events until the window
// reports back; the accepted file's full path is the answer.
#pragma once

#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>

#include "dialogs/PickerWindow.h"
#include "dialogs/PreviewBox.h"
#include "platform/qt/PendingPicture.h"

class frmPicSelect : public dialogs::PickerWindow {
    Q_OBJECT
  public:
    // Files the list shows, letter case ignored.
    static constexpr const char* kPicturePattern = "*.gif;*.bmp;*.jpg;*.jpeg;*.wmf";

    explicit frmPicSelect(dialogs::PickerHandOver& handOver, QWidget* owner = nullptr);
    ~frmPicSelect() override;

    dialogs::PreviewBox Picture1;  // the preview
    QImage picLoad;                // the picture last clicked that could be read

    // Receives the accepted picture's name without its extension, for the
    // editor's picture name box.
    std::function<void(const QString& name)> onPictureName;
    // Receives the accepted picture, still decoding, when "Übernehmen" is
    // pressed: the picker closes at once, and a picture the preview already
    // decodes or shows is not read a second time.
    std::function<void(platform::PendingPicture picture)> onPicture;

    // Starts the preview of the file clicked; it decodes beside the window
    // and shows when it is there.
    void File1_Click();
    // True while a preview is still decoding.
    bool PreviewPending() const { return preview_ != nullptr; }

  protected:
    void OnCancel() override;
    void OnAccept(const QString& folder, const QString& name) override;

  private:
    void ShowPreviewWhenDecoded();

    std::unique_ptr<platform::PendingPicture> preview_;  // the preview decoding now
    QString previewPath_;                                // the file it decodes
    QString loadedPath_;                                 // the file picLoad came from
    QTimer previewPoll_;
};
