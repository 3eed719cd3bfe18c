// Icons drawn in code: a QIcon whose pictures are painted on demand at the
// size and device pixel ratio asked for, so they stay sharp on a scaled
// desktop instead of being smoothed up from small art.
#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>
#include <functional>

namespace icons {

// Paints the drawing designed for a square of `designSide` units; the painter
// is already scaled so that one unit covers the right number of pixels.
using IconPainter = std::function<void(QPainter&)>;

// An icon painted from `paint` (designed in a designSide x designSide square).
QIcon DrawnIcon(double designSide, IconPainter paint);
// One picture of the drawing: `logical` device-independent pixels at
// `pixelRatio` device pixels each (the image carries that ratio).
QImage DrawnImage(double designSide, const IconPainter& paint, QSize logical, double pixelRatio = 1.0);

}  // namespace icons
