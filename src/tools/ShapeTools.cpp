#include "tools/ShapeTools.h"

#include "canvas/CanvasPen.h"
#include "canvas/EditorState.h"
#include "core/Rounding.h"
#include "geometry/ShapeFigures.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

using geometry::IntPoint;

void ArrowLines(canvas::CanvasPen& pen, IntPoint from, IntPoint to) {
    const geometry::ArrowFigure f = geometry::MakeArrow(from, to);
    pen.Line(QPointF(f.tail.x, f.tail.y), QPointF(f.tip.x, f.tip.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbA.x, f.barbA.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbB.x, f.barbB.y));
}

// The ellipse inscribed in the rectangle of two corners, drawn as a circle
// with aspect: nothing when the corners share x.
void EllipseOutline(canvas::CanvasPen& pen, IntPoint corner1, IntPoint corner2) {
    const geometry::EllipseFigure f = geometry::MakeEllipse(corner1, corner2);
    if (!f.drawn) return;
    const double rx = f.SemiAxisX();
    const double ry = f.SemiAxisY();
    pen.Ellipse(QRectF(f.centreX - rx, f.centreY - ry, 2 * rx, 2 * ry));
}

}  // namespace

COLORREF ResolveColor(COLORREF color) {
    if ((color & 0x80000000u) != 0) return FromQColor(ToQColor(color));
    return color & 0x00FFFFFFu;
}

void DrawArrow(canvas::CanvasSurface& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2,
               std::int32_t y2) {
    canvas::CanvasPen pen(canvas);
    ArrowLines(pen, {x1, y1}, {x2, y2});
}

void DrawEllipse(canvas::CanvasSurface& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2) {
    canvas::CanvasPen pen(canvas);
    EllipseOutline(pen, {x1, y1}, {x2, y2});
}

ShapeTool::ShapeTool(canvas::EditorState& state, Shape shape) : state_(state), shape_(shape) {}

void ShapeTool::Press(const ToolEvent& event) {
    canvas::CanvasSurface& canvas = state_.Canvas();
    if (shape_ == Shape::Arrow) {
        // A zero-length line with whatever pen the previous stroke left.
        canvas::CanvasPen pen(canvas);
        pen.Line(QPointF(event.x, event.y), QPointF(event.x, event.y));
    }
    // The rubber band's XOR pen shows the figure's own colour over the
    // canvas background; the figure's colour itself stays with the stroke.
    pressColor_ = ResolveColor(state_.CurrentColor());
    canvas::PenState pen = canvas.Pen();
    pen.DrawMode = canvas::kDrawModeXorPen;
    pen.ForeColor = ResolveColor(canvas.BackColor()) ^ pressColor_;
    pen.FillStyle = canvas::kFillTransparent;
    canvas.SetPen(pen);
    canvas::StrokeState& stroke = state_.Stroke();
    stroke.lngEndX = stroke.lngStartX;
    stroke.lngEndY = stroke.lngStartY;
}

void ShapeTool::SetEnd(IntPoint end) {
    state_.Stroke().lngEndX = end.x;
    state_.Stroke().lngEndY = end.y;
}

void ShapeTool::Move(const ToolEvent& event) {
    const canvas::StrokeState& stroke = state_.Stroke();
    const IntPoint start{stroke.lngStartX, stroke.lngStartY};
    const bool arrow = shape_ == Shape::Arrow;
    canvas::CanvasPen pen(state_.Canvas());
    // Erase the previous preview by drawing it again with the XOR pen. An
    // ellipse that was not drawn (end x on start x) is not erased either.
    if (arrow) {
        ArrowLines(pen, start, {stroke.lngEndX, stroke.lngEndY});
    } else if (stroke.lngEndX != stroke.lngStartX) {
        EllipseOutline(pen, start, {stroke.lngEndX, stroke.lngEndY});
    }
    SetEnd(geometry::ConstrainEnd(start, event.x, event.y, event.shift, arrow));
    if (arrow) {
        ArrowLines(pen, start, {stroke.lngEndX, stroke.lngEndY});
    } else if (stroke.lngEndX != stroke.lngStartX) {
        EllipseOutline(pen, start, {stroke.lngEndX, stroke.lngEndY});
    }
}

void ShapeTool::Release(const ToolEvent& event) {
    canvas::CanvasSurface& canvas = state_.Canvas();
    canvas::PenState pen = canvas.Pen();
    pen.DrawMode = canvas::kDrawModeCopyPen;
    pen.ForeColor = pressColor_;
    canvas.SetPen(pen);
    const canvas::StrokeState& stroke = state_.Stroke();
    SetEnd(geometry::ConstrainEnd({stroke.lngStartX, stroke.lngStartY}, event.x, event.y, event.shift,
                                  shape_ == Shape::Arrow));
    // The last preview is not erased: the opaque figure covers it.
    DrawFigure();
}

void ShapeTool::DrawFigure() {
    const canvas::StrokeState& s = state_.Stroke();
    if (shape_ == Shape::Arrow) {
        DrawArrow(state_.Canvas(), s.lngStartX, s.lngStartY, s.lngEndX, s.lngEndY);
    } else if (s.lngEndX != s.lngStartX) {
        DrawEllipse(state_.Canvas(), s.lngStartX, s.lngStartY, s.lngEndX, s.lngEndY);
    }
}

std::optional<QCursor> ShapeTool::Pointer(int /*variant*/) const {
    return shape_ == Shape::Arrow ? Art().picArrow : Art().picCross;
}

const QPixmap& ShapeTool::Look(int variant) const {
    const auto v = static_cast<std::size_t>(variant);
    return shape_ == Shape::Arrow ? Art().piciArrow[v] : Art().picKreis[v];
}

}  // namespace tools
