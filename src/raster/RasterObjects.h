// Internal objects of the raster layer: what a bitmap handle and a device
// context handle stand for, and the lookups the blit routines use. Not part of
// the public interface (callers use gdi.h).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/gdi.h"

namespace gdi::detail {

// Pixels are handled as little-endian words (blue in the low byte).
static_assert(std::endian::native == std::endian::little, "the raster layer needs a little-endian machine");

// Pixel memory a bitmap owns, released the way it was obtained.
struct PixelMemoryDeleter {
    std::size_t bytes = 0;
    void operator()(std::uint8_t* p) const noexcept;
};
using PixelMemory = std::unique_ptr<std::uint8_t[], PixelMemoryDeleter>;

// bytes of zeroed pixel memory; throws std::bad_alloc.
PixelMemory AllocatePixels(std::size_t bytes);

// A bitmap: size, depth, where its rows lie, its colour table. Rows are
// addressed top to bottom through Row(y); a bottom-up bitmap simply has its
// top row last in memory and a negative pitch, so no loop needs to know the
// row order.
struct Bitmap {
    LONG width = 0;
    LONG height = 0;   // always positive
    int bitCount = 0;  // 1, 4, 8, 16, 24 or 32
    bool topDown = false;
    bool isDib = true;  // false only for the stock monochrome bitmap
    bool stock = false;
    BYTE unusedByte = 0;             // written into the fourth byte of 32-bit pixels
    std::uint8_t* memory = nullptr;  // first byte of pixel memory (bmBits)
    std::ptrdiff_t stride = 0;       // bytes per memory row (positive, 4-aligned for DIB sections)
    std::uint8_t* top = nullptr;     // first byte of the top row
    std::ptrdiff_t pitch = 0;        // signed distance from row y to row y + 1
    PixelMemory owned;               // pixel memory of a DIB section; empty for wrapped memory
    std::vector<RGBQUAD> colors;     // colour table (1/4/8 bits), else empty
    HDC selectedInto = 0;

    std::uint8_t* Row(LONG y) const { return top + static_cast<std::ptrdiff_t>(y) * pitch; }
    bool Indexed() const { return bitCount <= 8; }
};

// A device context: the bitmap selected into it and its stretch mode. A DC on
// the screen stand-in has no bitmap and cannot be drawn on or read.
struct DeviceContext {
    HBITMAP bitmap = 0;
    int stretchMode = BLACKONWHITE;
    bool screen = false;
};

// Bytes per scan line of a DIB of this width and depth (multiple of 4), or -1
// when it does not fit the address space sensibly.
std::int64_t DibStride(std::int64_t width, int bitCount);

// Fills the row addressing of b (top, pitch) from memory, stride, height and topDown.
void SetRowAddressing(Bitmap& b);

// A session's handles. The returned pointers stay valid until the object is
// deleted or the session ends.
Bitmap* FindBitmap(const Session& session, HGDIOBJ handle);
DeviceContext* FindDC(const Session& session, HDC handle);
// The bitmap selected into a DC, or nullptr (bad handle, screen DC).
Bitmap* SelectedBitmap(const Session& session, HDC handle);
// Registers a new bitmap and returns its handle (0 when the table refuses it).
HBITMAP AddBitmap(Session& session, std::unique_ptr<Bitmap> bitmap);

}  // namespace gdi::detail
