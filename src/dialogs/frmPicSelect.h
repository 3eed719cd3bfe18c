// The picture picker: drive, folder and picture-file lists, a preview of the
// file clicked, accept and cancel. Modeless: the caller (see RunPicker) fills
// a hand-over, makes the window and processes events until the window
// reports back; the accepted file's full path is the answer.
#pragma once

#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>

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

    // Receives the accepted picture's name without its extension, for the
    // editor's picture name box.
    void SetPictureNameReceiver(std::function<void(const QString& name)> receiver) {
        onPictureName_ = std::move(receiver);
    }
    // Receives the accepted picture, still decoding, when "Übernehmen" is
    // pressed: the picker closes at once, and a picture the preview already
    // decodes or shows is not read a second time.
    void SetPictureReceiver(std::function<void(platform::PendingPicture picture)> receiver) {
        onPicture_ = std::move(receiver);
    }

    // Starts the preview of the file clicked; it decodes beside the window
    // and shows when it is there.
    void OnFileClick();
    // True while a preview is still decoding.
    bool PreviewPending() const { return preview_ != nullptr; }

  protected:
    void OnCancel() override;
    void OnAccept(const QString& folder, const QString& name) override;

  private:
    void ShowPreviewWhenDecoded();

    dialogs::PreviewBox previewBox_;  // the preview (object name "Picture1")
    QImage picLoad_;                  // the picture last clicked that could be read
    std::function<void(const QString& name)> onPictureName_;
    std::function<void(platform::PendingPicture picture)> onPicture_;
    std::unique_ptr<platform::PendingPicture> preview_;  // the preview decoding now
    QString previewPath_;                                // the file it decodes
    QString loadedPath_;                                 // the file picLoad_ came from
    QTimer previewPoll_;
};
