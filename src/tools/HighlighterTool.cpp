#include "tools/HighlighterTool.h"

#include <QPainter>

#include "canvas/CanvasSurface.h"
#include "core/Rounding.h"
#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"
#include "tools/art/ToolArt.h"

namespace tools {

ToolEntry HighlighterTool::Entry() {
    return {kId, "Marker", [](const ToolParts& /*parts*/) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<HighlighterTool>();
            }};
}

void HighlighterTool::Press(Stroke& stroke, const ToolEvent& event) {
    canvas::CanvasSurface& canvas = stroke.Canvas();
    canvas::PenState pen = canvas.Pen();
    pen.DrawWidth = kPenWidth;
    pen.DrawMode = canvas::kDrawModeMaskPen;
    pen.ForeColor = stroke.Color();
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

void HighlighterTool::Move(Stroke& stroke, const ToolEvent& event) {
    stroke.SetEnd(stroke.Start());
    stroke.SetStart({core::N(event.x), core::N(event.y)});
    const geometry::IntPoint from = stroke.Start();
    const geometry::IntPoint to = stroke.End();
    stroke.Canvas().Line(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

std::optional<QCursor> HighlighterTool::Pointer(int variant) const {
    if (variant < 0) return std::nullopt;
    return Art().MarkerPointer(variant);
}

const QPixmap& HighlighterTool::Look(int variant) const {
    return Art().picMarker[static_cast<std::size_t>(variant)];
}

}  // namespace tools
