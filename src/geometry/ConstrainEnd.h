// End point of a shape drag, with the Shift (45 degrees) and Ctrl (axis lock)
// constraints.
#pragma once

#include <cstdint>

namespace geometry {

struct IntPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

// Keyboard state bits of a mouse event.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// The end point for a pointer at (x, y) with the drag starting at `start`.
// Shift alone: equal horizontal and vertical extents, the smaller one kept.
// Ctrl alone with allowAxisLock: horizontal or vertical, whichever is nearer.
// Anything else: the pointer position itself.
IntPoint ConstrainEnd(IntPoint start, float x, float y, int shift, bool allowAxisLock);

}  // namespace geometry
