// Row loops for the common same-size copies between 24- and 32-bit pixels,
// without a branch per pixel.
#pragma once

#include <cstdint>

#include "raster/gdi.h"

namespace gdi::detail {

// 32-bit B,G,R,x to 24-bit B,G,R.
void Row32To24(const std::uint8_t* s, std::uint8_t* d, LONG n);
// 24-bit to 32-bit; unused is the fourth byte, already shifted to bits 24..31.
void Row24To32(const std::uint8_t* s, std::uint8_t* d, LONG n, std::uint32_t unused);
// 32-bit to 32-bit with the fourth byte replaced.
void RowUnused32(const std::uint8_t* s, std::uint8_t* d, LONG n, std::uint32_t unused);

}  // namespace gdi::detail
