// The one picture loader of the program: Windows bitmaps, GIF, JPEG, PNG and
// TIFF through Qt's image readers, with a guard against pictures too large to
// hold in memory.
#pragma once

#include <QImage>
#include <QString>

namespace platform {

// Largest picture side and pixel count the loader accepts.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr qint64 kMaxPictureBytes = qint64{1} << 30;  // 1 GiB of 32-bit pixels

}  // namespace platform

// The picture in `path`, or a null image when the file is missing, not a
// picture the loader reads, damaged, or larger than the limits above.
QImage LoadPictureFile(const QString& path);
