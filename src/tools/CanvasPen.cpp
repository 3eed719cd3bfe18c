#include "tools/CanvasPen.h"

#include <algorithm>
#include <cmath>

#include "widgets/PictureBox.h"

namespace tools {

CanvasPen::CanvasPen(PictureBox& box) : box_(box), painter_(&box.Image()) {
    Update();
}

CanvasPen::~CanvasPen() {
    painter_.end();
    if (!dirty_.isEmpty()) box_.Refresh(dirty_);
}

void CanvasPen::Update() {
    box_.PreparePen(painter_, box_.ForeColor, box_.FillStyle == PictureBox::kFillSolid);
}

void CanvasPen::Touch(const QRectF& shape) {
    dirty_ |= box_.PenBounds(shape);
}

void CanvasPen::Line(QPointF a, QPointF b) {
    if (a == b) {
        Dot(a);
    } else {
        // Through the middle of the pixels: a wide line then lies evenly on
        // both sides of them, and its round ends cover the dot of its end
        // points whatever the direction.
        const QPointF middle(0.5, 0.5);
        painter_.drawLine(a + middle, b + middle);
    }
    Touch(QRectF(a, b));
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
    painter_.drawEllipse(bounds);
    Touch(bounds);
}

}  // namespace tools
