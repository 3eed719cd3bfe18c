// Raster operations (the ternary ROP codes of BitBlt) on rows of 32-bit
// colours. The pattern is the default brush of a memory DC: white.
#pragma once

#include <cstdint>

#include "raster/gdi.h"

namespace gdi::detail {

bool RopUsesSource(DWORD rop);
bool RopUsesDestination(DWORD rop);
// dst[i] = rop(pattern, src[i], dst[i]) for n pixels; src may be nullptr when
// the operation does not read the source.
void ApplyRop(DWORD rop, const std::uint32_t* src, std::uint32_t* dst, LONG n);

}  // namespace gdi::detail
