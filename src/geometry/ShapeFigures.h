// The two rubber-band figures: an arrow with a two-barb head and the ellipse
// inscribed in the drag rectangle. Pure geometry; the canvas draws the result.
#pragma once

#include "geometry/ConstrainEnd.h"

namespace geometry {

// Three lines: the shaft from `tail` to `tip`, then tip -> barbA and tip -> barbB.
struct ArrowFigure {
    IntPoint tail;
    IntPoint tip;
    IntPoint barbA;
    IntPoint barbB;
};

// Barbs of 15 pixels at 20 degrees either side of the shaft, pointing back from
// the tip. A zero-length arrow has both barbs on the tip.
ArrowFigure MakeArrow(IntPoint from, IntPoint to);

// Circle-with-aspect description of the ellipse in the rectangle spanned by two
// corners, in the form a picture box draws it: `radius` is the horizontal
// semi-axis when aspect < 1 and the vertical one otherwise.
struct EllipseFigure {
    bool drawn = false;  // false when both corners share x: nothing is drawn
    float centreX = 0;
    float centreY = 0;
    float radius = 0;
    float aspect = 0;  // height / width

    // The semi-axes the circle description amounts to.
    double SemiAxisX() const;
    double SemiAxisY() const;
};

EllipseFigure MakeEllipse(IntPoint corner1, IntPoint corner2);

}  // namespace geometry
