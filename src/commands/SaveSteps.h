// The steps of the save command that do not need the editor window: finding
// a free file name and turning the canvas image into a JPEG file.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

#include "jpeg/cJpeg.h"

namespace commands {

// Counter suffixes tried after the plain name: _01 .. _99.
inline constexpr int kMaxNameCounter = 99;

// True when anything exists under `path`: a file (also one that cannot be
// opened for reading), a folder or a symbolic link, even a dangling one.
bool IsNameTaken(const QString& path);

// The base path (without extension) the save writes to: folder + name when
// neither name.jpg nor name.bmp is taken, else folder + name + "_NN" with the
// smallest free NN from 01 to 99. Empty when all of them are taken.
std::optional<QString> FindFreeBaseName(const QString& folder, const QString& name);

// Writes the picture through `write(path)` under `base` + `extension`, where
// `base` is the free name just found for `name` in `folder`. Should another
// program (another editor saving the same name a moment earlier) take that
// name between the choice and the write, the write fails with the name now
// taken; the next free name is chosen then and written instead, so no
// picture is lost to the race. The base written, or empty when the write
// failed otherwise (`noNameLeft` tells whether every name was taken).
std::optional<QString> WriteUnderFreeName(QString base, const QString& folder, const QString& name,
                                          const QString& extension,
                                          const std::function<bool(const QString& path)>& write,
                                          bool* noNameLeft = nullptr);

// The stages of a JPEG save, one call each; the save runs them in order.
// A stage that fails returns false or raises (encoder errors). Write may be
// called again with another path: the sampled picture is kept.
class JpegSave {
  public:
    // Takes the picture to be saved without copying its pixels: it must live
    // and stay unchanged until Sample. Only a picture that is not RGB32 is
    // converted.
    bool Copy(const QImage& picture);
    // The picture's pixels, read in place strip by strip (the alpha channel
    // dropped, as a 24-bit bitmap file of it would), into the encoder's
    // coefficients; the picture is let go afterwards.
    bool Sample(int quality);
    // The JPEG file, never replacing an existing one.
    bool Write(const QString& jpegPath);

    cJpeg& Encoder() { return encoder_; }

  private:
    const QImage* picture_ = nullptr;
    QImage converted_;
    cJpeg encoder_;
};

// Encodes `picture` with cJpeg at `quality`, reading its pixels in place,
// and writes `jpegPath` (never replacing an existing file). True when the
// JPEG file was written completely; on failure no JPEG file is left.
bool WriteJpegFromPicture(const QImage& picture, const QString& jpegPath, int quality);

// The same for a bitmap file, reloaded through the picture loader. The
// bitmap is not deleted here.
bool WriteJpegFromBitmap(const QString& bitmapPath, const QString& jpegPath, int quality);

}  // namespace commands
