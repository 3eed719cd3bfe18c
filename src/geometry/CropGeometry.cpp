#include "geometry/CropGeometry.h"

#include <algorithm>
#include <limits>

#include "core/Rounding.h"

namespace geometry {

CropFrame CropFrame::AtPoint(float x, float y) {
    CropFrame f;
    f.lines.fill(CropLine{x, y, x, y});
    return f;
}

CropFrame CropFrame::Spanning(std::int16_t anchorX, std::int16_t anchorY, float x, float y) {
    const float ax = anchorX;
    const float ay = anchorY;
    CropFrame f;
    f.lines[0] = {ax, ay, x, ay};  // Line1: along the anchor row
    f.lines[1] = {ax, ay, ax, y};  // Line2: along the anchor column
    f.lines[2] = {x, ay, x, y};    // Line3: along the pointer column
    f.lines[3] = {ax, y, x, y};    // Line4: along the pointer row
    return f;
}

namespace {

// Starts at N(first); each later coordinate that beats the bound (compared as
// a double against the integer bound) replaces it with its rounded value.
template <typename Better>
std::int32_t Extreme(std::array<float, 4> coords, Better better) {
    std::int32_t bound = core::N(coords[0]);
    for (std::size_t i = 1; i < coords.size(); ++i) {
        if (better(static_cast<double>(coords[i]), static_cast<double>(bound))) bound = core::N(coords[i]);
    }
    return bound;
}

}  // namespace

PixelRect CropBounds(const CropLine& line1, const CropLine& line2) {
    const std::array<float, 4> xs{line1.x1, line1.x2, line2.x1, line2.x2};
    const std::array<float, 4> ys{line1.y1, line1.y2, line2.y1, line2.y2};
    const auto less = [](double a, double b) { return a < b; };
    const auto greater = [](double a, double b) { return a > b; };
    PixelRect r{Extreme(xs, less), Extreme(ys, less), Extreme(xs, greater), Extreme(ys, greater)};
    if (r.left == r.right && r.right < std::numeric_limits<std::int32_t>::max()) ++r.right;
    if (r.top == r.bottom && r.bottom < std::numeric_limits<std::int32_t>::max()) ++r.bottom;
    return r;
}

std::int16_t CropAnchor(float v) {
    const std::int32_t n = core::N(v);
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(n, std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

std::array<PixelRect, 4> FrameBands(const CropFrame& frame) {
    // The frame is the outline of the rectangle between the anchor and the
    // pointer, drawn 3 pixels wide: the outer rectangle grown by one pixel
    // minus the inner one shrunk by two.
    const std::int32_t ax = core::N(frame.lines[1].x1);  // Line2 runs along the anchor column
    const std::int32_t ay = core::N(frame.lines[0].y1);  // Line1 runs along the anchor row
    const std::int32_t px = core::N(frame.lines[2].x1);  // Line3 runs along the pointer column
    const std::int32_t py = core::N(frame.lines[3].y1);  // Line4 runs along the pointer row
    const std::int64_t xMin = std::min(ax, px), xMax = std::max(ax, px);
    const std::int64_t yMin = std::min(ay, py), yMax = std::max(ay, py);

    const auto clampRect = [](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
        if (r <= l || b <= t) return PixelRect{};
        return PixelRect{static_cast<std::int32_t>(std::clamp(l, lo, hi)),
                         static_cast<std::int32_t>(std::clamp(t, lo, hi)),
                         static_cast<std::int32_t>(std::clamp(r, lo, hi)),
                         static_cast<std::int32_t>(std::clamp(b, lo, hi))};
    };

    // Horizontal bands take the full width including the corners; the lower
    // one gives up rows the upper one already has.
    const PixelRect topBand = clampRect(xMin - 1, yMin - 1, xMax + 2, yMin + 2);
    const PixelRect bottomBand = clampRect(xMin - 1, std::max(yMax - 1, yMin + 2), xMax + 2, yMax + 2);
    // Vertical bands fill the rows between the horizontal ones.
    const std::int64_t innerTop = yMin + 2, innerBottom = yMax - 1;
    const PixelRect leftBand = clampRect(xMin - 1, innerTop, xMin + 2, innerBottom);
    const PixelRect rightBand = clampRect(std::max(xMax - 1, xMin + 2), innerTop, xMax + 2, innerBottom);

    std::array<PixelRect, 4> bands;
    const bool anchorOnTop = ay <= py;
    const bool anchorOnLeft = ax <= px;
    bands[0] = anchorOnTop ? topBand : bottomBand;   // Line1 at the anchor row
    bands[3] = anchorOnTop ? bottomBand : topBand;   // Line4 at the pointer row
    bands[1] = anchorOnLeft ? leftBand : rightBand;  // Line2 at the anchor column
    bands[2] = anchorOnLeft ? rightBand : leftBand;  // Line3 at the pointer column
    return bands;
}

}  // namespace geometry
