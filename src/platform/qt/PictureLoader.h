// The one picture loader of the program: Windows bitmaps, GIF, JPEG, PNG and
// TIFF through Qt's image readers, with guards against pictures too large to
// hold in memory and against files far shorter than the pixels they claim.
// Files and pasted pictures pass the same guards.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// Largest picture side and pixel count the loader accepts.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr qint64 kMaxPictureBytes = qint64{1} << 30;  // 1 GiB of 32-bit pixels

// True when a picture of `size` is within both limits.
bool PictureSizeAllowed(QSize size);

// `picture` when it is within the limits, else a null image (for pictures
// that arrive already decoded).
QImage PictureWithinLimits(QImage picture);

}  // namespace platform

// The picture in `path`, or a null image when the file is missing, not a
// picture the loader reads, damaged, far shorter than the pixel data its
// header announces, or larger than the limits above.
QImage LoadPictureFile(const QString& path);

// The same for a picture file's bytes held in memory (a pasted picture).
QImage LoadPictureData(const QByteArray& bytes);
