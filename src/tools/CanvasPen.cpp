#include "tools/CanvasPen.h"

#include <algorithm>

#include "editor/PictureBox.h"

namespace tools {

CanvasPen::CanvasPen(PictureBox& box) : box_(box), painter_(&box.Image()) {
    Update();
}

CanvasPen::~CanvasPen() {
    painter_.end();
    if (!dirty_.isEmpty()) box_.Refresh(dirty_);
}

void CanvasPen::Update() {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(box_.ForeColor));
    const int width = std::max(box_.DrawWidth, 1);
    pen.setWidth(width);
    // Wide pens are always solid; only a one-pixel pen can be patterned.
    pen.setStyle(width > 1 && box_.DrawStyle != 5 ? Qt::SolidLine : PenStyleForDrawStyle(box_.DrawStyle));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
    painter_.setBrush(box_.FillStyle == PictureBox::kFillSolid ? QBrush(ToQColor(box_.FillColor))
                                                               : Qt::NoBrush);
    switch (box_.DrawMode) {
        case PictureBox::kDrawModeXorPen:
            painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        case PictureBox::kDrawModeMaskPen:
            painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            break;
        default:
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            break;
    }
}

void CanvasPen::Touch(const QRectF& shape) {
    const double pad = std::max(box_.DrawWidth, 1) / 2.0 + 2.0;
    dirty_ |= shape.normalized().adjusted(-pad, -pad, pad, pad).toAlignedRect();
}

void CanvasPen::Line(QPointF a, QPointF b) {
    painter_.drawLine(a, b);
    Touch(QRectF(a, b));
}

void CanvasPen::Ellipse(const QRectF& bounds) {
    painter_.drawEllipse(bounds);
    Touch(bounds);
}

}  // namespace tools
