// Decoder for the device-independent bitmaps (packed DIBs) that metafile
// records carry: BITMAPCOREHEADER or BITMAPINFOHEADER (and its longer
// versions), 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, bit fields
// or run-length encoded (RLE8, RLE4). No Qt in here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wmf {

struct DibPixels {
    int width = 0;
    int height = 0;
    bool bottomUp = true;               // as stored in the file; pixels below are always top-down
    std::vector<std::uint32_t> pixels;  // 0xFFRRGGBB, row after row from the top
};

// paletteIndices: the colour table holds 16-bit indexes into the logical
// palette (DIB_PAL_COLORS) instead of RGB colours; they are shown as greys.
// maxPixels bounds the memory a small file can make us allocate.
std::optional<DibPixels> DecodeDib(std::span<const std::uint8_t> packed, bool paletteIndices,
                                   std::uint64_t maxPixels);

}  // namespace wmf
