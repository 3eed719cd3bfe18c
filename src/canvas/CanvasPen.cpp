#include "canvas/CanvasPen.h"

#include <algorithm>
#include <cmath>

#include "canvas/CanvasSurface.h"

namespace canvas {

CanvasPen::CanvasPen(CanvasSurface& surface) : surface_(surface), painter_(surface.WritableImage(QRect())) {
    surface_.PreparePen(painter_, surface_.Pen().ForeColor, surface_.Pen().FillStyle == kFillSolid);
}

CanvasPen::~CanvasPen() {
    painter_.end();
    surface_.Changed(dirty_);
}

// Every shape announces the pixels it can change before it is drawn; a shape
// whose pixels the canvas's versions could not keep is not drawn.
bool CanvasPen::Touch(const std::optional<QRect>& changed) {
    if (!changed) return false;
    dirty_ |= *changed;
    return true;
}

void CanvasPen::Line(QPointF a, QPointF b) {
    if (!Touch(surface_.WillWriteLine(a, b))) return;
    if (a == b) {
        Dot(a);
    } else {
        // Through the middle of the pixels: a wide line then lies evenly on
        // both sides of them, and its round ends cover the dot of its end
        // points whatever the direction.
        const QPointF middle(0.5, 0.5);
        painter_.drawLine(a + middle, b + middle);
    }
}

void CanvasPen::Dot(QPointF at) {
    const QPen& pen = painter_.pen();
    if (pen.style() == Qt::NoPen) return;
    // The pixels whose middles lie well inside a circle of the pen's width
    // around the pixel's middle: one pixel for a thin pen, a plus for the
    // 3-pixel pen. Each pixel is painted once, so an XOR pen takes it away
    // again.
    const int x = static_cast<int>(std::floor(at.x()));
    const int y = static_cast<int>(std::floor(at.y()));
    const double radius = std::max(pen.width(), 1) / 2.0;
    const double limit = std::max(0.0, radius * radius - 0.5);
    const int reach = static_cast<int>(radius);
    for (int dy = -reach; dy <= reach; ++dy) {
        if (dy * dy > limit) continue;
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= limit) ++half;
        painter_.fillRect(QRect(x - half, y + dy, 2 * half + 1, 1), pen.color());
    }
}

void CanvasPen::Ellipse(const QRectF& bounds) {
    if (!Touch(surface_.WillWriteEllipse(bounds, painter_.brush().style() != Qt::NoBrush))) return;
    painter_.drawEllipse(bounds);
}

}  // namespace canvas
