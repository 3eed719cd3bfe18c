#include "canvas/CanvasView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "canvas/CanvasSurface.h"

namespace canvas {

namespace {

int ButtonsOf(Qt::MouseButtons buttons) {
    return ((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
           ((buttons & Qt::MiddleButton) ? 4 : 0);
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
           ((modifiers & Qt::AltModifier) ? 4 : 0);
}

}  // namespace

CanvasView::CanvasView(CanvasSurface& surface, QWidget* parent) : PictureArea(parent), surface_(surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    surface_.SetObserver(this);
}

CanvasView::~CanvasView() {
    surface_.SetObserver(nullptr);
}

QSize CanvasView::WidgetSizeFor(QSize pixels) const {
    const double ratio = PixelRatio();
    return QSize(static_cast<int>(std::ceil(pixels.width() / ratio - 1e-9)),
                 static_cast<int>(std::ceil(pixels.height() / ratio - 1e-9)));
}

QRect CanvasView::PictureToWidget(const QRect& pixels) const {
    const double ratio = PixelRatio();
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio)
        .toAlignedRect();
}

QPointF CanvasView::PictureToWidget(QPointF pixels) const {
    return pixels / PixelRatio();
}

QPointF CanvasView::WidgetToPicture(QPointF widget) const {
    return widget * PixelRatio();
}

void CanvasView::CanvasChanged(const QRect& pixels) {
    update(PictureToWidget(pixels).intersected(rect()));
}

void CanvasView::CanvasReplaced(bool newPicture) {
    // A new picture: the view takes its size.
    if (newPicture) resize(WidgetSizeFor(surface_.Size()));
    update();
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = surface_.Image();
    const QColor background = ToQColor(surface_.BackColor());
    const QRect area = event->rect();
    const double ratio = PixelRatio();
    if (ratio == 1.0) {
        // Unscaled: Qt's plain blit, about a fifth faster per scroll step than
        // the rectangle form below (korvel-canvas-bench).
        const QRect inImage = area.intersected(image.rect());
        if (!inImage.isEmpty()) painter.drawImage(inImage.topLeft(), image, inImage);
        const QRegion rest = QRegion(area).subtracted(QRegion(inImage));
        for (const QRect& r : rest) painter.fillRect(r, background);
        return;
    }
    // On a scaled desktop: the picture pixels under the area, drawn onto exactly as many device
    // pixels: a plain copy at any scale, never a stretch.
    const QRect source =
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio)
            .toAlignedRect() &
        image.rect();
    QRegion rest(area);
    if (!source.isEmpty()) {
        const QRectF target(source.x() / ratio, source.y() / ratio, source.width() / ratio,
                            source.height() / ratio);
        painter.drawImage(target, image, source);
        rest -= QRegion(target.toAlignedRect());
    }
    // Whatever lies outside the buffer shows the background.
    for (const QRect& r : rest) painter.fillRect(r, background);
}

void CanvasView::resizeEvent(QResizeEvent* event) {
    // A view sized for its buffer keeps it (a picture of odd width on a 200 %
    // screen rounds the widget up; the picture keeps its own size). A view
    // sized by a layout gets a buffer that covers it.
    if (WidgetSizeFor(surface_.Size()) != size()) {
        surface_.Resize(QSizeF(QSizeF(size()) * PixelRatio()).toSize());
    }
    // What a screen reader says of the canvas: the picture and its size.
    setAccessibleName(
        QStringLiteral("Bild, %1 × %2 Pixel").arg(surface_.Size().width()).arg(surface_.Size().height()));
    QWidget::resizeEvent(event);
}

// The picture pixel under the pointer, at any desktop scale.
QPointF CanvasView::PicturePosition(const QMouseEvent& event) const {
    return WidgetToPicture(event.position());
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const QPointF at = PicturePosition(*event);
    event->accept();
    emit mouseDown(ButtonsOf(event->button()), ShiftOf(event->modifiers()), static_cast<float>(at.x()),
                   static_cast<float>(at.y()));
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = PicturePosition(*event);
    event->accept();
    emit mouseMove(ButtonsOf(event->buttons()), ShiftOf(event->modifiers()), static_cast<float>(at.x()),
                   static_cast<float>(at.y()));
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = PicturePosition(*event);
    event->accept();
    emit mouseUp(ButtonsOf(event->button()), ShiftOf(event->modifiers()), static_cast<float>(at.x()),
                 static_cast<float>(at.y()));
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is one press, its release, the double click and the
    // second release: the second click starts no stroke of its own, so one
    // undo step takes back what the double click drew.
    event->accept();
}

}  // namespace canvas
