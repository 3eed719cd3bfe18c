#include "tools/HighlighterTool.h"

#include <QPainter>

#include "canvas/EditorState.h"
#include "core/Rounding.h"
#include "tools/art/ToolArt.h"

namespace tools {

HighlighterTool::HighlighterTool(canvas::EditorState& state) : state_(state) {}

void HighlighterTool::Press(const ToolEvent& event) {
    canvas::CanvasSurface& canvas = state_.Canvas();
    canvas::PenState pen = canvas.Pen();
    pen.DrawWidth = kPenWidth;
    pen.DrawMode = canvas::kDrawModeMaskPen;
    pen.ForeColor = state_.CurrentColor();
    canvas.SetPen(pen);

    // The spot of a click: a pen-wide square around the press point, masked
    // like the strokes (a degenerate rectangle drawn with the wide pen).
    const int half = kPenWidth / 2;
    const QRect spot(core::N(event.x) - half, core::N(event.y) - half, kPenWidth, kPenWidth);
    if (QImage* image = canvas.WritableImage(spot)) {
        QPainter painter(image);
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.fillRect(spot, ToQColor(pen.ForeColor));
    }
    canvas.SetCurrentPosition(QPointF(event.x, event.y));
    canvas.Changed(spot);
}

void HighlighterTool::Move(const ToolEvent& event) {
    canvas::StrokeState& stroke = state_.Stroke();
    stroke.lngEndX = stroke.lngStartX;
    stroke.lngEndY = stroke.lngStartY;
    stroke.lngStartX = core::N(event.x);
    stroke.lngStartY = core::N(event.y);
    state_.Canvas().Line(QPointF(stroke.lngStartX, stroke.lngStartY),
                         QPointF(stroke.lngEndX, stroke.lngEndY));
}

std::optional<QCursor> HighlighterTool::Pointer(int variant) const {
    if (variant < 0) return std::nullopt;
    return Art().MarkerPointer(variant);
}

const QPixmap& HighlighterTool::Look(int variant) const {
    return Art().picMarker[static_cast<std::size_t>(variant)];
}

}  // namespace tools
