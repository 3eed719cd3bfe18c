#include "tools/geometry/ConstrainEnd.h"

#include <cmath>

#include "tools/geometry/Rounding.h"

namespace tools {

IntPoint ConstrainEnd(IntPoint start, float x, float y, int shift, bool allowAxisLock) {
    const double px = x;
    const double py = y;
    const double sx = start.x;
    const double sy = start.y;
    const double dx = std::abs(px - sx);
    const double dy = std::abs(py - sy);

    if (shift == kShiftMask) {
        if (dy >= dx) return {N(px), py > sy ? N(sy + dx) : N(sy - dx)};
        return {px > sx ? N(sx + dy) : N(sx - dy), N(py)};
    }
    if (shift == kCtrlMask && allowAxisLock) {
        if (dy >= dx) return {start.x, N(py)};
        return {N(px), start.y};
    }
    return {N(px), N(py)};
}

}  // namespace tools
