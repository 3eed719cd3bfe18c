#include "canvas/CanvasSurface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "canvas/CanvasObserver.h"
#include "platform/qt/LargeImage.h"
#include "platform/wmf/Rop2Mode.h"

namespace canvas {

namespace {

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

CanvasSurface::CanvasSurface() {
    image_ = QImage(1, 1, QImage::Format_RGB32);
    AtCanvasResolution(image_);
    image_.fill(ToQColor(backColor_));
}

void CanvasSurface::Replaced(bool newPicture) {
    if (observer_ != nullptr) observer_->CanvasReplaced(newPicture);
}

void CanvasSurface::Changed(const QRect& area) {
    if (observer_ != nullptr && !area.isEmpty()) observer_->CanvasChanged(area);
}

void CanvasSurface::Resize(QSize size) {
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
    Replaced();
}

bool CanvasSurface::SetPicture(QImage picture) {
    if (picture.isNull()) {
        picture_ = QImage();
        Cls();
        return true;
    }
    // Converted before anything changes: when memory runs out the surface
    // keeps its picture and what was drawn on it. An RGB32 picture is only
    // shared.
    if (picture.format() != QImage::Format_RGB32) {
        picture = std::move(picture).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) return false;
    }
    // Set before the buffer shares the pixels (setting it on a shared image
    // would copy them); costs nothing when the picture is already at 96 DPI.
    AtCanvasResolution(picture);
    picture_ = std::move(picture);
    image_ = picture_;
    Replaced(true);
    return true;
}

bool CanvasSurface::DetachImage() {
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

void CanvasSurface::Cls() {
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
    current_ = QPointF();
    Replaced();
}

void CanvasSurface::SetBackColor(COLORREF color) {
    backColor_ = color;
    Cls();
}

QImage& CanvasSurface::WritableImage(const QRect& area) {
    // A write into a buffer still shared with the picture or a snapshot
    // would copy it inside the painter; the press makes it the buffer's own
    // beforehand, so this copy happens only for writes outside a stroke.
    DetachImage();
    WillWrite(area);
    return image_;
}

void CanvasSurface::WillWrite(const QRect& /*area*/) {}

// --- drawing -------------------------------------------------------------------

void CanvasSurface::PreparePen(QPainter& painter, COLORREF color, bool fill) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(color));
    pen.setWidth(std::max(pen_.DrawWidth, 1));
    pen.setStyle(pen_.DrawWidth > 1 && pen_.DrawStyle != 5 ? Qt::SolidLine : PenStyleForDrawStyle(pen_.DrawStyle));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(fill ? QBrush(ToQColor(pen_.FillColor)) : Qt::NoBrush);
    painter.setCompositionMode(platform::CompositionModeOfRop2(pen_.DrawMode, QPainter::CompositionMode_Source));
}

QRect CanvasSurface::PenBounds(QRectF shape) const {
    const double pad = std::max(pen_.DrawWidth, 1) / 2.0 + 2.0;
    return shape.normalized().adjusted(-pad, -pad, pad, pad).toAlignedRect();
}

QRect CanvasSurface::Line(QPointF a, QPointF b) {
    return Line(a, b, pen_.ForeColor);
}

QRect CanvasSurface::Line(QPointF a, QPointF b, COLORREF color) {
    const QRect bounds = PenBounds(QRectF(a, b));
    {
        QPainter painter(&WritableImage(bounds));
        PreparePen(painter, color, false);
        painter.drawLine(a, b);
    }
    current_ = b;
    Changed(bounds);
    return bounds;
}

QRect CanvasSurface::Print(const QString& text) {
    const QPointF at = current_;
    const QFontMetricsF metrics(font_, &image_);
    const QRect bounds =
        QRectF(at, QSizeF(metrics.horizontalAdvance(text), metrics.height())).toAlignedRect().adjusted(-2, -2, 2, 2);
    {
        QPainter painter(&WritableImage(bounds));
        painter.setFont(font_);
        painter.setPen(ToQColor(pen_.ForeColor));
        painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
    }
    current_ = QPointF(0, at.y() + metrics.height());
    Changed(bounds);
    return bounds;
}

}  // namespace canvas
