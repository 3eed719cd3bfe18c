// Draws on a picture box's persistent image with the box's own pen (width,
// style, raster operation, colour, fill) and repaints only what changed when
// it goes out of scope. One CanvasPen serves several shapes, so an erase and a
// redraw cost one painter and one repaint.
#pragma once

#include <QPainter>
#include <QRect>

class PictureBox;
class QPointF;
class QRectF;

namespace tools {

class CanvasPen {
  public:
    explicit CanvasPen(PictureBox& box);
    ~CanvasPen();
    CanvasPen(const CanvasPen&) = delete;
    CanvasPen& operator=(const CanvasPen&) = delete;

    // Re-reads the pen after the box's pen state changed.
    void Update();

    // A line from a to b; from a point to itself, the pen's round dot
    // centred on that pixel (Qt would draw nothing).
    void Line(QPointF a, QPointF b);
    // Ellipse outline inside `bounds` (filled when the fill style is solid).
    void Ellipse(const QRectF& bounds);

  private:
    void Dot(QPointF at);
    void Touch(const QRectF& shape);

    PictureBox& box_;
    QPainter painter_;
    QRect dirty_;
};

}  // namespace tools
