#include "geometry/PanScroll.h"

#include <algorithm>

#include "core/Rounding.h"

namespace geometry {

std::int32_t PanScrollValue(const PanAxis& axis) {
    // Canvas position that would put the grabbed point under the pointer.
    const double pointerInPanel = static_cast<double>(axis.canvasPos) + static_cast<double>(axis.pointer);
    const std::int32_t target = core::N(static_cast<double>(axis.panStart) -
                                        (static_cast<double>(axis.pointerStart) - pointerInPanel));
    // One step towards it, in single precision.
    const float tpp = axis.twipsPerPixel > 0 ? axis.twipsPerPixel : 15.0f;
    const float step = (axis.canvasPos - static_cast<float>(target)) / tpp;
    const std::int32_t v = core::N(static_cast<float>(axis.value) + step);
    if (v < axis.min) return axis.min;
    if (v > axis.max) return axis.max;
    return v;
}

}  // namespace geometry
