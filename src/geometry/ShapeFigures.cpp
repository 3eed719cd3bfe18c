#include "geometry/ShapeFigures.h"

#include <cmath>
#include <cstdlib>

#include "core/Rounding.h"

namespace geometry {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kBarbLength = 15.0;
constexpr double kBarbAngle = 20.0;

// The conditional pick of the ellipse radius: a copy of one of two values.
double PickIf(bool condition, double valueTrue, double valueFalse) {
    return condition ? valueTrue : valueFalse;
}

}  // namespace

ArrowFigure MakeArrow(IntPoint from, IntPoint to) {
    // The angle is kept in single precision, as the head has always been drawn.
    float theta = 90.0f;
    if (to.x != from.x) {
        const double slope = (static_cast<double>(to.y) - from.y) / (static_cast<double>(to.x) - from.x);
        theta = static_cast<float>(std::atan(slope) * 180.0 / kPi);
    }
    int s = 0;
    if (to.x > from.x)
        s = 1;
    else if (to.x < from.x)
        s = -1;
    else if (to.y > from.y)
        s = 1;
    else if (to.y < from.y)
        s = -1;

    const double t = theta;
    const double x2 = to.x;
    const double y2 = to.y;
    const double a1 = (t + kBarbAngle) * kPi / 180.0;
    const double a2 = (kBarbAngle - t) * kPi / 180.0;
    ArrowFigure f;
    f.tail = from;
    f.tip = to;
    f.barbA = {core::N(x2 - kBarbLength * s * std::cos(a1)), core::N(y2 - kBarbLength * s * std::sin(a1))};
    f.barbB = {core::N(x2 - kBarbLength * s * std::cos(a2)), core::N(y2 + kBarbLength * s * std::sin(a2))};
    return f;
}

EllipseFigure MakeEllipse(IntPoint corner1, IntPoint corner2) {
    EllipseFigure f;
    if (corner2.x == corner1.x) return f;
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(corner2.x) - corner1.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(corner2.y) - corner1.y);
    f.drawn = true;
    f.radius = static_cast<float>(PickIf(dx > dy, dx / 2.0, dy / 2.0));
    f.aspect = static_cast<float>(std::abs((static_cast<double>(corner2.y) - corner1.y) /
                                           (static_cast<double>(corner2.x) - corner1.x)));
    f.centreX = static_cast<float>((static_cast<double>(corner1.x) + corner2.x) / 2.0);
    f.centreY = static_cast<float>((static_cast<double>(corner1.y) + corner2.y) / 2.0);
    return f;
}

double EllipseFigure::SemiAxisX() const {
    if (!drawn) return 0;
    return aspect < 1.0f ? radius : radius / static_cast<double>(aspect);
}

double EllipseFigure::SemiAxisY() const {
    if (!drawn) return 0;
    return aspect < 1.0f ? static_cast<double>(radius) * aspect : radius;
}

}  // namespace geometry
