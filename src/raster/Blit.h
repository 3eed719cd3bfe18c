// The block copy shared by BitBlt, StretchBlt (equal sizes) and GetDIBits:
// clipping and the row loops with format conversion and raster operations.
#pragma once

#include <cstdint>

#include "raster/PixelRows.h"
#include "raster/RasterObjects.h"

namespace gdi::detail {

// A block of w x h pixels at (dx, dy) in the destination, read from (sx, sy)
// in the source.
struct BlitArea {
    std::int64_t dx, dy, sx, sy, w, h;
};

// Clips the block to the destination and (when src is not nullptr) to the
// source; pixels whose source lies outside the source bitmap are left alone.
// False when nothing is left.
bool ClipBlit(const Bitmap& dst, const Bitmap* src, BlitArea& area);

// Copies a clipped block with a raster operation. src may be nullptr when the
// operation does not read the source. Source and destination may be the same
// bitmap, overlapping blocks included.
void BlitRect(Bitmap& dst, const Bitmap* src, const BlitArea& area, DWORD rop);

// Combines one row of colours into the destination with a raster operation
// (SRCCOPY just writes it). dstScratch must hold n values.
void WriteRowWithRop(Bitmap& dst, LONG x, LONG y, LONG n, std::uint32_t* colours, DWORD rop,
                     ColourMatcher* matcher, std::uint32_t* dstScratch);

}  // namespace gdi::detail
