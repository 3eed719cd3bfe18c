// Conversion of pointer positions and measures to whole pixels.
#pragma once

#include <cstdint>

namespace tools {

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -0.5 -> 0). Values beyond the 32-bit range saturate at its ends; NaN gives 0.
std::int32_t N(double v);

}  // namespace tools
