#include "canvas/CanvasPen.h"

#include <algorithm>
#include <cmath>

#include "canvas/CanvasSurface.h"
#include "canvas/CanvasVersion.h"

namespace canvas {

namespace {

// The longest piece of a line or outline announced at once.
constexpr double kPieceLength = 2.0 * kTileSize;

}  // namespace

CanvasPen::CanvasPen(CanvasSurface& surface) : surface_(surface), painter_(surface.WritableImage(QRect())) {
    surface_.PreparePen(painter_, surface_.Pen().ForeColor, surface_.Pen().FillStyle == kFillSolid);
}

CanvasPen::~CanvasPen() {
    painter_.end();
    surface_.Changed(dirty_);
}

// Every shape announces the pixels it can change before it is drawn; a shape
// whose pixels the canvas's versions could not keep is not drawn.
bool CanvasPen::Touch(const QRectF& shape) {
    const QRect bounds = surface_.PenBounds(shape);
    if (!surface_.WillWrite(bounds)) return false;
    dirty_ |= bounds;
    return true;
}

// A long slanted line crosses few of the tiles inside its bounding box, and
// the versions keep a copy of every tile announced: the line is announced in
// pieces, each padded by the pen, which together cover every pixel the line
// can reach (round caps and joins reach no further than half the pen).
bool CanvasPen::TouchLine(QPointF a, QPointF b) {
    const QPointF step = b - a;
    const int pieces = std::max(
        1, static_cast<int>(std::ceil(std::max(std::abs(step.x()), std::abs(step.y())) / kPieceLength)));
    if (pieces == 1) return Touch(QRectF(a, b));
    for (int i = 0; i < pieces; ++i) {
        const QPointF from = a + step * (static_cast<double>(i) / pieces);
        const QPointF to = i + 1 == pieces ? b : a + step * (static_cast<double>(i + 1) / pieces);
        if (!Touch(QRectF(from, to))) return false;
    }
    return true;
}

void CanvasPen::Line(QPointF a, QPointF b) {
    if (!TouchLine(a, b)) return;
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

// An outline likewise crosses few of the tiles inside its box. Within a
// quadrant both coordinates of the outline move one way, so the end points of
// a piece of it bound the piece. Qt draws the outline from cubic curves that
// stray from the true ellipse by far less than a thousandth of its size;
// each piece is widened by that much besides the pen. A filled ellipse
// touches its whole box.
bool CanvasPen::TouchEllipse(const QRectF& bounds) {
    const QRectF box = bounds.normalized();
    const double a = box.width() / 2;
    const double b = box.height() / 2;
    const double longer = std::max(a, b);
    if (painter_.brush().style() != Qt::NoBrush || longer <= kPieceLength) return Touch(box);
    const double stray = 1.0 + longer / 1000;
    const QPointF centre = box.center();
    const auto at = [&](double t) { return centre + QPointF(a * std::cos(t), b * std::sin(t)); };
    constexpr double kQuarter = 1.5707963267948966;
    const int pieces = static_cast<int>(std::ceil(longer * kQuarter / kPieceLength));
    for (int q = 0; q < 4; ++q) {
        for (int i = 0; i < pieces; ++i) {
            const QRectF piece(at(kQuarter * (q + static_cast<double>(i) / pieces)),
                               at(kQuarter * (q + static_cast<double>(i + 1) / pieces)));
            if (!Touch(piece.normalized().adjusted(-stray, -stray, stray, stray))) return false;
        }
    }
    return true;
}

void CanvasPen::Ellipse(const QRectF& bounds) {
    if (!TouchEllipse(bounds)) return;
    painter_.drawEllipse(bounds);
}

}  // namespace canvas
