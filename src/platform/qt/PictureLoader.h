// The one picture loader of the program: JPEG through libjpeg-turbo straight
// into the canvas's pixel format, Windows bitmaps, GIF, PNG and TIFF through
// Qt's image readers, with guards against pictures too large to hold in
// memory, against files far shorter than the pixels they claim, and against
// JPEG scans that would cost far more than their picture. Files and pasted
// pictures pass the same guards. Pictures decode on a thread of their own
// while the window keeps answering (see PendingPicture.h).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <atomic>

namespace platform {

// Largest picture side and pixel count the loader accepts.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr qint64 kMaxPictureBytes = qint64{1} << 30;  // 1 GiB of 32-bit pixels

// True when a picture of `size` is within both limits.
bool PictureSizeAllowed(QSize size);

// `picture` when it is within the limits, else a null image (for pictures
// that arrive already decoded).
QImage PictureWithinLimits(QImage picture);

// The decoding itself, on the calling thread, as LoadPictureFile and
// LoadPictureData below describe it. Once `cancel` turns true a JPEG stops
// decoding and gives a null picture.
QImage DecodePictureFile(const QString& path, const std::atomic<bool>* cancel = nullptr);
QImage DecodePictureData(const QByteArray& bytes, const std::atomic<bool>* cancel = nullptr);

}  // namespace platform

// The picture in `path`, or a null image when the file is missing, not a
// picture the loader reads, damaged or cut short, far shorter than the pixel
// data its header announces, larger than the limits above, or a JPEG whose
// scans repeat or exceed platform::kMaxJpegScanPasses. It decodes on a
// thread of its own; the window's thread waits as PendingPicture::Take does.
QImage LoadPictureFile(const QString& path);

// The same for a picture file's bytes held in memory (a pasted picture).
QImage LoadPictureData(const QByteArray& bytes);
