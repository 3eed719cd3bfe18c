// Windows metafile (WMF) pictures: renders a metafile into an image, for the
// picture loader. The image size comes from the placeable header (bounding
// box at its units per inch, shown at 96 DPI) or, for a plain metafile, from
// its window extent.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

// The picture drawn by a metafile on white, or a null image when the bytes
// are not a readable metafile, the picture would be too large, or drawing it
// would take unreasonably long.
QImage LoadWindowsMetafile(std::span<const std::uint8_t> bytes);

namespace wmf {

struct RenderLimits {
    int maxSide = 32767;                                     // pixels per side
    std::uint64_t maxImageBytes = std::uint64_t{1} << 30;    // 32-bit pixels
    std::uint64_t maxBitmapPixels = std::uint64_t{1} << 25;  // per bitmap record (128 MiB decoded)
    // Pixels drawing may touch: this many per image pixel, within the bounds below.
    std::uint64_t workPerPixel = 32;
    std::uint64_t minWork = std::uint64_t{1} << 26;
    std::uint64_t maxWork = std::uint64_t{1} << 31;
};

QImage RenderMetafile(std::span<const std::uint8_t> bytes, const RenderLimits& limits);

// For the picture loader: nullopt when the file does not start like a
// metafile (placeable key or plain metafile header); otherwise the rendered
// picture, null when it cannot be read.
std::optional<QImage> TryLoadWindowsMetafileFile(const QString& path);

}  // namespace wmf
