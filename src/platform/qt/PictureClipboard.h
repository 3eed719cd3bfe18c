// The pictures this program puts on the system clipboard. They are offered as
// image/png first, then image/bmp, and each is encoded only when a reader asks
// for it (or ahead, where a clipboard manager is sure to ask), once per
// picture, on a pool thread: the program's window goes on answering while a
// large picture is encoded, and a reader still gets the picture exactly as it
// was when it was put there.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <functional>
#include <memory>

#include "imaging/RowSource.h"

namespace platform {

// A picture as the clipboard hands it out: in rows, from any thread, for the
// encoders, or whole, on the program's own thread, for the program itself.
class PictureSource : public imaging::RowSource {
  public:
    // The picture as an image of its own.
    virtual QImage ToImage() const = 0;
};

// A plain image as a source (the image is shared, never written).
std::shared_ptr<const PictureSource> ImageSource(QImage image);

// Why a picture is on the clipboard: a canvas press leaves its undo snapshot
// there; a copy (the copy button, the external-program command) is something
// the user asked for and is kept after the editor ends.
enum class ClipboardUse { UndoSnapshot, Copy };

// The PNG bands of the last picture written, shared by the pictures one
// editor puts on the clipboard: successive undo snapshots mostly differ in a
// few bands, and only those are compressed again.
struct PngWriterCache;

class PictureMimeData : public QMimeData {
    Q_OBJECT
  public:
    // `pause`, when given, runs on the encoding's thread before it encodes
    // (tests hold an encoding there to reach a moment that is rare otherwise).
    PictureMimeData(std::shared_ptr<const PictureSource> picture, ClipboardUse use,
                    std::shared_ptr<PngWriterCache> cache = {}, std::function<void()> pause = {});
    ~PictureMimeData() override;

    // The picture as an image of its own (the program's paste and undo).
    QImage Picture() const;
    const std::shared_ptr<const PictureSource>& Source() const { return picture_; }
    ClipboardUse Use() const { return use_; }
    // How many times a format was encoded (tests: at most once each).
    int Encodings() const;
    // Starts encoding the PNG now, on a pool thread: a reader is sure to ask.
    void EncodePngAhead() const;

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

  protected:
    // Waits for the encoding while the program's events other than the
    // user's input go on (a ping from the window manager is answered).
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

  private:
    struct Encoding;
    std::shared_ptr<Encoding> Start(bool png) const;

    std::shared_ptr<const PictureSource> picture_;
    ClipboardUse use_;
    std::shared_ptr<PngWriterCache> cache_;
    std::function<void()> pause_;
    mutable std::shared_ptr<Encoding> png_;
    mutable std::shared_ptr<Encoding> bmp_;
};

// Where one editor's pictures go onto the clipboard: it keeps the PNG bands
// of the last picture written for the next one.
class ClipboardPublisher {
  public:
    ClipboardPublisher();
    // Puts the picture on the clipboard in one write. With a clipboard
    // manager running (it fetches every picture at once), its PNG is
    // encoded ahead.
    void Put(std::shared_ptr<const PictureSource> picture, ClipboardUse use) const;
    // Compresses the picture's PNG ahead on a pool thread, so that a first
    // read of it (or of an undo snapshot that still shows it) finds every
    // band ready. A later request takes over from one not yet started.
    void PreparePngAhead(std::shared_ptr<const PictureSource> picture) const;
    // Runs `pause` on the encoding's thread before each later picture is
    // encoded for a reader (tests).
    void PauseEncodings(std::function<void()> pause) { pauseEncoding_ = std::move(pause); }

  private:
    std::shared_ptr<PngWriterCache> cache_;
    std::function<void()> pauseEncoding_;
};

// Puts a plain image on the clipboard, without a band cache (the keeper).
void PutPictureOnClipboard(const QImage& picture, ClipboardUse use);

// This program's picture while it owns the clipboard, else nullptr.
const PictureMimeData* OwnClipboardPicture();

// The picture as the image/png and image/bmp readers get it, encoded here on
// the calling thread.
QByteArray EncodeClipboardPng(const QImage& picture);
QByteArray EncodeClipboardBmp(const QImage& picture);

}  // namespace platform
