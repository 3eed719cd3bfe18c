// The widget that shows a canvas surface and reports the mouse on it.
//
// The surface is shown one picture pixel to one device pixel whatever the
// desktop's scale: on a 200 % screen the view is half as many (logical)
// widget pixels wide as its picture. Everything the view reports (pointer
// positions) is in picture pixels; the mapping to widget pixels lives here and
// nowhere else.
#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

#include "canvas/CanvasObserver.h"
#include "canvas/PictureArea.h"

namespace canvas {

class CanvasSurface;

class CanvasView : public PictureArea, private CanvasObserver {
    Q_OBJECT
  public:
    explicit CanvasView(CanvasSurface& surface, QWidget* parent = nullptr);
    ~CanvasView() override;

    CanvasSurface& Surface() { return surface_; }
    const CanvasSurface& Surface() const { return surface_; }

    // --- picture pixels on the screen ----------------------------------------
    // Device (= picture) pixels per widget pixel.
    double PixelRatio() const { return devicePixelRatioF(); }
    // The widget rectangle that shows the given picture pixels (covering it).
    QRect PictureToWidget(const QRect& pixels) const;
    // The widget position of a picture position, and back.
    QPointF PictureToWidget(QPointF pixels) const;
    QPointF WidgetToPicture(QPointF widget) const;
    // Widget size that shows a picture of `pixels` (rounded up).
    QSize WidgetSizeFor(QSize pixels) const;

  signals:
    // Button: down/up = the button (1 left, 2 right, 4 middle); move = the set
    // held. Shift: 1 Shift | 2 Ctrl | 4 Alt. X, Y in picture pixels.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void CanvasChanged(const QRect& pixels) override;
    void CanvasReplaced(bool newPicture) override;
    QPointF PicturePosition(const QMouseEvent& event) const;

    CanvasSurface& surface_;
};

}  // namespace canvas
