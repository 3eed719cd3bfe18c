#include "widgets/PictureBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/qt/LargeImage.h"
#include "platform/wmf/Rop2Mode.h"

namespace {

constexpr double kTwipsPerPixel = 15.0;

// 96 dots per inch, the resolution at which the tools' sizes (pen widths in
// pixels, text in points) are meant.
constexpr int kCanvasDotsPerMeter = 3780;

// The canvas image always works at 96 DPI, whatever resolution the picture
// file recorded: the text tool's points become pixels at the image's own
// resolution, so a 300-dpi scan would otherwise get text three times as tall.
void AtCanvasResolution(QImage& image) {
    image.setDotsPerMeterX(kCanvasDotsPerMeter);
    image.setDotsPerMeterY(kCanvasDotsPerMeter);
}

int ButtonsOf(Qt::MouseButtons buttons) {
    return ((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
           ((buttons & Qt::MiddleButton) ? 4 : 0);
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0) |
           ((modifiers & Qt::AltModifier) ? 4 : 0);
}

}  // namespace

Qt::PenStyle PenStyleForDrawStyle(int drawStyle) {
    switch (drawStyle) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    image_ = QImage(1, 1, QImage::Format_RGB32);
    AtCanvasResolution(image_);
    image_.fill(ToQColor(backColor_));
}

PictureBox::~PictureBox() = default;

void PictureBox::EnsureBufferSize(QSize size) {
    size = size.expandedTo(QSize(1, 1));
    if (image_.size() == size) return;
    QImage grown(size, QImage::Format_RGB32);
    if (grown.isNull()) return;  // out of memory: keep the old buffer
    AtCanvasResolution(grown);
    grown.fill(ToQColor(backColor_));
    {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(grown);
}

void PictureBox::SetSizePixels(int width, int height) {
    EnsureBufferSize(QSize(width, height));
    resize(WidgetSizeFor(QSize(std::max(width, 1), std::max(height, 1))));
}

QSize PictureBox::WidgetSizeFor(QSize pixels) const {
    const double ratio = PixelRatio();
    return QSize(static_cast<int>(std::ceil(pixels.width() / ratio - 1e-9)),
                 static_cast<int>(std::ceil(pixels.height() / ratio - 1e-9)));
}

QRect PictureBox::PictureToWidget(const QRect& pixels) const {
    const double ratio = PixelRatio();
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio)
        .toAlignedRect();
}

QPointF PictureBox::PictureToWidget(QPointF pixels) const {
    return pixels / PixelRatio();
}

QPointF PictureBox::WidgetToPicture(QPointF widget) const {
    return widget * PixelRatio();
}

bool PictureBox::SetPicture(QImage picture) {
    if (picture.isNull()) {
        picture_ = QImage();
        Cls();
        return true;
    }
    // Converted before anything changes: when memory runs out the box keeps
    // its picture and what was drawn on it. An RGB32 picture is only shared.
    if (picture.format() != QImage::Format_RGB32) {
        picture = std::move(picture).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) return false;
    }
    // Set before the buffer shares the pixels (setting it on a shared image
    // would copy them); costs nothing when the picture is already at 96 DPI.
    AtCanvasResolution(picture);
    picture_ = std::move(picture);
    image_ = picture_;
    resize(WidgetSizeFor(picture_.size()));
    update();
    return true;
}

bool PictureBox::DetachImage() {
    if (image_.isNull() || image_.isDetached()) return true;
    QImage spare = platform::TakeForReuse(image_.size(), image_.format(), image_.bytesPerLine());
    if (spare.isNull()) {
        // A press waits for this memory: no huge pages, whose first touch
        // can stall while the system compacts memory.
        spare = platform::NewLargeImage(image_.size(), image_.format(), platform::LargePages::Ordinary);
        if (spare.isNull() || spare.bytesPerLine() != image_.bytesPerLine()) return false;
    }
    AtCanvasResolution(spare);
    std::memcpy(spare.bits(), image_.constBits(), static_cast<std::size_t>(image_.sizeInBytes()));
    image_ = std::move(spare);
    return true;
}

void PictureBox::Cls() {
    if (!picture_.isNull() && picture_.size() == image_.size()) {
        // The picture covers the whole buffer: the buffer shares it again.
        image_ = picture_;
    } else {
        // A shared buffer is replaced rather than copied only to be filled.
        if (!image_.isDetached()) {
            image_ = QImage(image_.size(), QImage::Format_RGB32);
            AtCanvasResolution(image_);
        }
        image_.fill(ToQColor(backColor_));
        if (!picture_.isNull()) {
            QPainter painter(&image_);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, picture_);
        }
    }
    CurrentX = 0;
    CurrentY = 0;
    update();
}

void PictureBox::SetBackColor(COLORREF color) {
    backColor_ = color;
    Cls();
}

void PictureBox::Refresh() {
    update();
}

void PictureBox::Refresh(const QRect& changed) {
    update(PictureToWidget(changed).intersected(rect()));
}

void PictureBox::SetScaleMode(int mode) {
    scaleMode_ = mode == kScaleTwips ? kScaleTwips : kScalePixels;
}

double PictureBox::UnitToPixel(double value) const {
    return scaleMode_ == kScaleTwips ? value / kTwipsPerPixel : value;
}

double PictureBox::PixelToUnit(double value) const {
    return scaleMode_ == kScaleTwips ? value * kTwipsPerPixel : value;
}

// --- drawing -------------------------------------------------------------------

void PictureBox::PreparePen(QPainter& painter, COLORREF color, bool fill) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(color));
    pen.setWidth(std::max(DrawWidth, 1));
    pen.setStyle(DrawWidth > 1 && DrawStyle != 5 ? Qt::SolidLine : PenStyleForDrawStyle(DrawStyle));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(fill ? QBrush(ToQColor(FillColor)) : Qt::NoBrush);
    painter.setCompositionMode(platform::CompositionModeOfRop2(DrawMode, QPainter::CompositionMode_Source));
}

QRect PictureBox::PenBounds(QRectF shape) const {
    const double pad = std::max(DrawWidth, 1) / 2.0 + 2.0;
    return shape.normalized().adjusted(-pad, -pad, pad, pad).toAlignedRect();
}

void PictureBox::Line(float x1, float y1, float x2, float y2) {
    Line(x1, y1, x2, y2, ForeColor);
}

void PictureBox::Line(float x1, float y1, float x2, float y2, COLORREF color) {
    const QPointF a(UnitToPixel(x1), UnitToPixel(y1));
    const QPointF b(UnitToPixel(x2), UnitToPixel(y2));
    {
        QPainter painter(&image_);
        PreparePen(painter, color, false);
        painter.drawLine(a, b);
    }
    CurrentX = x2;
    CurrentY = y2;
    Refresh(PenBounds(QRectF(a, b)));
}

void PictureBox::Box(float x1, float y1, float x2, float y2) {
    Box(x1, y1, x2, y2, ForeColor);
}

void PictureBox::Box(float x1, float y1, float x2, float y2, COLORREF color) {
    const QRectF shape =
        QRectF(QPointF(UnitToPixel(x1), UnitToPixel(y1)), QPointF(UnitToPixel(x2), UnitToPixel(y2)))
            .normalized();
    {
        QPainter painter(&image_);
        PreparePen(painter, color, FillStyle == kFillSolid);
        painter.drawRect(shape);
    }
    CurrentX = x2;
    CurrentY = y2;
    Refresh(PenBounds(shape));
}

void PictureBox::Circle(float x, float y, float radius, double aspect) {
    Circle(x, y, radius, ForeColor, aspect);
}

void PictureBox::Circle(float x, float y, float radius, COLORREF color, double aspect) {
    // The radius is the larger semi-axis: horizontal when aspect < 1.
    double rx = UnitToPixel(radius);
    double ry = rx;
    if (aspect < 1.0) {
        ry = rx * aspect;
    } else if (aspect > 1.0) {
        rx = ry / aspect;
    }
    const QPointF centre(UnitToPixel(x), UnitToPixel(y));
    const QRectF shape(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    {
        QPainter painter(&image_);
        PreparePen(painter, color, FillStyle == kFillSolid);
        painter.drawEllipse(shape);
    }
    CurrentX = x;
    CurrentY = y;
    Refresh(PenBounds(shape));
}

void PictureBox::PSet(float x, float y, COLORREF color) {
    const int px = static_cast<int>(std::floor(UnitToPixel(x)));
    const int py = static_cast<int>(std::floor(UnitToPixel(y)));
    if (image_.valid(px, py)) {
        image_.setPixel(px, py, ToQColor(color).rgb());
        Refresh(QRect(px, py, 1, 1));
    }
    CurrentX = x;
    CurrentY = y;
}

void PictureBox::Print(const QString& text) {
    const QPointF at(UnitToPixel(CurrentX), UnitToPixel(CurrentY));
    const QFontMetricsF metrics(Font, &image_);
    const QRectF bounds(at, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    {
        QPainter painter(&image_);
        painter.setFont(Font);
        if (!FontTransparent) painter.fillRect(bounds, ToQColor(backColor_));
        painter.setPen(ToQColor(ForeColor));
        painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
    }
    CurrentX = 0;
    CurrentY = static_cast<float>(PixelToUnit(at.y() + metrics.height()));
    Refresh(bounds.toAlignedRect().adjusted(-2, -2, 2, 2));
}

float PictureBox::TextWidth(const QString& text) const {
    const QFontMetricsF metrics(Font, &image_);
    return static_cast<float>(PixelToUnit(metrics.horizontalAdvance(text)));
}

float PictureBox::TextHeight(const QString& /*text*/) const {
    const QFontMetricsF metrics(Font, &image_);
    return static_cast<float>(PixelToUnit(metrics.height()));
}

// --- pointer -------------------------------------------------------------------

void PictureBox::SetMousePointer(int kind) {
    mousePointer_ = kind;
    ApplyPointer();
}

void PictureBox::SetMouseIcon(const QCursor& cursor) {
    mouseIcon_ = cursor;
    ApplyPointer();
}

void PictureBox::ApplyPointer() {
    switch (mousePointer_) {
        case kPointerCustom:
            setCursor(mouseIcon_);
            break;
        case kPointerCross:
            setCursor(Qt::CrossCursor);
            break;
        case kPointerArrow:
            setCursor(Qt::ArrowCursor);
            break;
        default:
            unsetCursor();
            break;
    }
}

// --- events --------------------------------------------------------------------

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    const double ratio = PixelRatio();
    if (ratio == 1.0) {
        // Unscaled: Qt's plain blit, about a fifth faster per scroll step than
        // the rectangle form below (korvel-canvas-bench).
        const QRect inImage = area.intersected(image_.rect());
        if (!inImage.isEmpty()) painter.drawImage(inImage.topLeft(), image_, inImage);
        const QRegion rest = QRegion(area).subtracted(QRegion(inImage));
        for (const QRect& r : rest) painter.fillRect(r, ToQColor(backColor_));
        return;
    }
    // On a scaled desktop: the picture pixels under the area, drawn onto exactly as many device
    // pixels: a plain copy at any scale, never a stretch.
    const QRect source =
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio)
            .toAlignedRect() &
        image_.rect();
    QRegion rest(area);
    if (!source.isEmpty()) {
        const QRectF target(source.x() / ratio, source.y() / ratio, source.width() / ratio,
                            source.height() / ratio);
        painter.drawImage(target, image_, source);
        rest -= QRegion(target.toAlignedRect());
    }
    // Whatever lies outside the buffer shows the background.
    for (const QRect& r : rest) painter.fillRect(r, ToQColor(backColor_));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    // A box sized for its buffer keeps it (a picture of odd width on a 200 %
    // screen rounds the widget up; the picture keeps its own size). A box
    // sized by a layout gets a buffer that covers it.
    if (WidgetSizeFor(image_.size()) != size()) {
        EnsureBufferSize(QSizeF(QSizeF(size()) * PixelRatio()).toSize());
    }
    QWidget::resizeEvent(event);
}

// Hands the pointer position to a hook in picture pixels (or twips of them):
// the picture pixel under the pointer, at any desktop scale.
void PictureBox::Report(const MouseHook& hook, int button, QMouseEvent* event) const {
    if (hook) {
        const QPointF at = WidgetToPicture(event->position());
        hook(button, ShiftOf(event->modifiers()), static_cast<float>(PixelToUnit(at.x())),
             static_cast<float>(PixelToUnit(at.y())));
    }
    event->accept();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    Report(onMouseDown, ButtonsOf(event->button()), event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    Report(onMouseMove, ButtonsOf(event->buttons()), event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    Report(onMouseUp, ButtonsOf(event->button()), event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is still a press for the drawing
    // tools; the double-click hook follows it.
    mousePressEvent(event);
    if (onDblClick) onDblClick();
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
    if (onDrop && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event) {
    if (onDrop && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureBox::dropEvent(QDropEvent* event) {
    if (!onDrop) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    onDrop(*event->mimeData());
}
