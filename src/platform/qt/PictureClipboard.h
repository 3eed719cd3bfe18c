// The pictures this program puts on the system clipboard. They are offered as
// image/png first, then image/bmp, and each is encoded only when a reader asks
// for it, once per picture: a write costs no encoding when nobody reads it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMimeData>

namespace platform {

// Why a picture is on the clipboard: a canvas press leaves its undo snapshot
// there; a copy (the copy button, the external-program command) is something
// the user asked for and is kept after the editor ends.
enum class ClipboardUse { UndoSnapshot, Copy };

class PictureMimeData : public QMimeData {
    Q_OBJECT
  public:
    PictureMimeData(QImage picture, ClipboardUse use);

    const QImage& Picture() const { return picture_; }
    ClipboardUse Use() const { return use_; }
    // How many times a format was encoded (tests: at most once each).
    int Encodings() const { return encodings_; }

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

  protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

  private:
    QImage picture_;
    ClipboardUse use_;
    mutable QByteArray png_;
    mutable QByteArray bmp_;
    mutable int encodings_ = 0;
};

// Puts the picture on the clipboard in one write; the clipboard shares the
// picture's pixels. A null picture leaves the clipboard as it is.
void PutPictureOnClipboard(const QImage& picture, ClipboardUse use);

// This program's picture while it owns the clipboard, else nullptr.
const PictureMimeData* OwnClipboardPicture();

// The picture as the image/png and image/bmp readers get it.
QByteArray EncodeClipboardPng(const QImage& picture);

// Compresses the picture's PNG ahead on a pool thread, so that a first read of
// it (or of an undo snapshot that still shows it) finds every band ready
// instead of holding up the editor for a whole compression. A write asked for
// later takes over from one not yet started; EncodeClipboardPng waits for one
// that is running.
void PreparePngAhead(const QImage& picture);
QByteArray EncodeClipboardBmp(const QImage& picture);

}  // namespace platform
