// Draws on the canvas with its own pen (width, style, raster operation,
// colour, fill) and has the view repaint only what changed when it goes out of
// scope. One CanvasPen serves several shapes, so an erase and a redraw cost one
// painter and one repaint.
#pragma once

#include <QPainter>
#include <QRect>
#include <optional>

class QPointF;
class QRectF;

namespace canvas {

class CanvasSurface;

class CanvasPen {
  public:
    explicit CanvasPen(CanvasSurface& surface);
    ~CanvasPen();
    CanvasPen(const CanvasPen&) = delete;
    CanvasPen& operator=(const CanvasPen&) = delete;

    // A line from a to b; from a point to itself, the pen's round dot
    // centred on that pixel (Qt would draw nothing).
    void Line(QPointF a, QPointF b);
    // Ellipse outline inside `bounds` (filled when the fill style is solid).
    void Ellipse(const QRectF& bounds);

  private:
    void Dot(QPointF at);
    bool Touch(const std::optional<QRect>& changed);

    CanvasSurface& surface_;
    QPainter painter_;
    QRect dirty_;
};

}  // namespace canvas
