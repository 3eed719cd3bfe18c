#include "geometry/ConstrainEnd.h"

#include <cmath>

#include "core/Rounding.h"

namespace geometry {

IntPoint ConstrainEnd(IntPoint start, float x, float y, int shift, bool allowAxisLock) {
    const double px = x;
    const double py = y;
    const double sx = start.x;
    const double sy = start.y;
    const double dx = std::abs(px - sx);
    const double dy = std::abs(py - sy);

    if (shift == kShiftMask) {
        if (dy >= dx) return {core::N(px), py > sy ? core::N(sy + dx) : core::N(sy - dx)};
        return {px > sx ? core::N(sx + dy) : core::N(sx - dy), core::N(py)};
    }
    if (shift == kCtrlMask && allowAxisLock) {
        if (dy >= dx) return {start.x, core::N(py)};
        return {core::N(px), start.y};
    }
    return {core::N(px), core::N(py)};
}

}  // namespace geometry
