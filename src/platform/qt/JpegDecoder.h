// JPEG pictures decoded by libjpeg-turbo straight into the canvas's pixel
// format: the decoder writes blue-green-red-alpha rows into the image's own
// memory, so no conversion pass follows. Files that would cost far more than
// their picture are refused early: a size beyond the loader's limits (told
// by the header, before any pixel memory is taken), data cut off before the
// picture is complete, and scans that repeat or go on and on.
#pragma once

#include <QImage>
#include <atomic>
#include <cstddef>
#include <span>

namespace platform {

// The most scan work a JPEG may ask for, in passes over its whole picture:
// every scan costs a walk over all the blocks of its components, however few
// bytes it holds. Ordinary progressive files take five or six passes.
inline constexpr int kMaxJpegScanPasses = 32;

// True when the bytes begin with a JPEG start-of-image marker.
bool IsJpeg(std::span<const std::byte> head);

// Decodes a whole JPEG file held in memory into a Format_RGB32 image with
// the resolution the file records. Grey, YCbCr, RGB, CMYK and YCCK files are
// read (CMYK as Adobe's inverted values, as Qt's reader takes them). Null
// when the bytes are no JPEG the decoder reads, the picture is beyond the
// loader's limits, the data ends or breaks off before the picture is
// complete, a progressive file sends a coefficient's first scan twice or
// refines out of order, the scans exceed kMaxJpegScanPasses, the decoder's
// own memory would pass twice the largest picture, or `cancel` turns true
// meanwhile. Damage the decoder recovers from without losing picture data
// (stray bytes between markers) is let through.
QImage DecodeJpeg(std::span<const std::byte> bytes, const std::atomic<bool>* cancel = nullptr);

}  // namespace platform
