// Rounding to the nearest whole number, a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0): pointer positions, layout twips, JPEG
// coefficients and numbers read from settings all round this way.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace core {

// nearbyint follows the floating-point rounding mode, which the program never
// changes from round-to-nearest-even.
inline double RoundHalfEven(double v) {
    return std::nearbyint(v);
}

// RoundHalfEven as a 32-bit integer: values beyond the range saturate at its
// ends, NaN gives 0.
inline std::int32_t N(double v) {
    if (std::isnan(v)) return 0;
    const double r = RoundHalfEven(v);
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

}  // namespace core
