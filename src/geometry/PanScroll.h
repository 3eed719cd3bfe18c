// Scroll arithmetic of the hand tool: where a drag move puts one scroll bar.
// Positions and scroll values are twips inside the view panel.
#pragma once

#include <cstdint>

namespace geometry {

struct PanAxis {
    std::int32_t value = 0;  // current scroll value
    std::int32_t min = 0;
    std::int32_t max = 0;
    float canvasPos = 0;            // canvas Left (or Top) now
    std::int32_t panStart = 0;      // canvas Left (or Top) at the press
    std::int32_t pointerStart = 0;  // pointer in the panel at the press
    float pointer = 0;              // pointer relative to the canvas now
    float twipsPerPixel = 15;
};

// The scroll value for one move. The target is the canvas position that puts
// the grabbed point back under the pointer; each move covers 1/twipsPerPixel
// of the way there (so the picture trails the pointer and catches up as the
// pointer keeps moving), and the result stays within min and max.
std::int32_t PanScrollValue(const PanAxis& axis);

}  // namespace geometry
