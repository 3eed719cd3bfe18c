// Row converters between the bitmap depths and one working form: a 32-bit
// colour 0x00RRGGBB per pixel (blue in the low byte, as in a 32-bit DIB).
// Palette targets get the nearest colour of their table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/RasterObjects.h"

namespace gdi::detail {

// Finds the nearest entry of a colour table (squared distance in RGB, lowest
// index on a tie). The 256-level grey ramp is recognised and answered by
// arithmetic; other tables go through a small cache.
class ColourMatcher {
  public:
    explicit ColourMatcher(std::span<const RGBQUAD> table);
    std::uint8_t Match(std::uint32_t colour);

  private:
    std::uint8_t Search(std::uint32_t colour) const;

    std::vector<RGBQUAD> table_;
    bool greyRamp_ = false;
    std::vector<std::uint32_t> cacheKeys_;
    std::vector<std::uint8_t> cacheValues_;
};

// Reads n pixels of row y from column x as 0x00RRGGBB.
void ReadRow(const Bitmap& b, LONG x, LONG y, LONG n, std::uint32_t* out);
// Writes n pixels to row y from column x. matcher is used (and required) for
// palette bitmaps only.
void WriteRow(Bitmap& b, LONG x, LONG y, LONG n, const std::uint32_t* in, ColourMatcher* matcher);

// Palette indices of a 1/4/8-bit bitmap, read and written as bytes.
void ReadIndices(const Bitmap& b, LONG x, LONG y, LONG n, std::uint8_t* out);
void WriteIndices(Bitmap& b, LONG x, LONG y, LONG n, const std::uint8_t* in);

// One pixel as 0x00RRGGBB (slow; for the general affine mapping).
std::uint32_t ReadPixel(const Bitmap& b, LONG x, LONG y);

inline std::uint32_t ColourOf(const RGBQUAD& q) {
    return (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

bool SameColourTable(const Bitmap& a, const Bitmap& b);

}  // namespace gdi::detail
