// Writes a picture as a standard 24-bit Windows bitmap file (BITMAPFILEHEADER,
// BITMAPINFOHEADER, bottom-up rows padded to 4 bytes, blue-green-red), through
// a temporary file so the target holds the whole picture or nothing.
#pragma once

#include <QImage>
#include <QString>

#include "core/AtomicWrite.h"

namespace commands {

using core::FileWriteMode;

// True when the whole file was written. On failure nothing is left behind and
// an existing target is untouched.
bool WriteBitmapFile(const QImage& picture, const QString& path, FileWriteMode mode);

}  // namespace commands
