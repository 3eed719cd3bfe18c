#include "tools/ShapeTools.h"

#include "canvas/CanvasPen.h"
#include "canvas/CanvasSurface.h"
#include "core/Rounding.h"
#include "geometry/ShapeFigures.h"
#include "tools/Stroke.h"

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

void ShapeTool::Press(Stroke& stroke, const ToolEvent& event) {
    canvas::CanvasSurface& canvas = stroke.Canvas();
    if (shape_ == Shape::Arrow) {
        // A zero-length line with whatever pen the previous stroke left.
        canvas::CanvasPen pen(canvas);
        pen.Line(QPointF(event.x, event.y), QPointF(event.x, event.y));
    }
    // The rubber band's XOR pen shows the figure's own colour over the
    // canvas background; the figure's colour itself stays with the stroke.
    pressColor_ = ResolveColor(stroke.Color());
    canvas::PenState pen = canvas.Pen();
    pen.DrawMode = canvas::kDrawModeXorPen;
    pen.ForeColor = ResolveColor(canvas.BackColor()) ^ pressColor_;
    pen.FillStyle = canvas::kFillTransparent;
    canvas.SetPen(pen);
    stroke.SetEnd(stroke.Start());
}

void ShapeTool::Move(Stroke& stroke, const ToolEvent& event) {
    const IntPoint start = stroke.Start();
    const bool arrow = shape_ == Shape::Arrow;
    canvas::CanvasPen pen(stroke.Canvas());
    // Erase the previous preview by drawing it again with the XOR pen. An
    // ellipse that was not drawn (end x on start x) is not erased either.
    if (arrow) {
        ArrowLines(pen, start, stroke.End());
    } else if (stroke.End().x != start.x) {
        EllipseOutline(pen, start, stroke.End());
    }
    stroke.SetEnd(geometry::ConstrainEnd(start, event.x, event.y, event.shift, arrow));
    if (arrow) {
        ArrowLines(pen, start, stroke.End());
    } else if (stroke.End().x != start.x) {
        EllipseOutline(pen, start, stroke.End());
    }
}

void ShapeTool::Release(Stroke& stroke, const ToolEvent& event) {
    canvas::CanvasSurface& canvas = stroke.Canvas();
    canvas::PenState pen = canvas.Pen();
    pen.DrawMode = canvas::kDrawModeCopyPen;
    pen.ForeColor = pressColor_;
    canvas.SetPen(pen);
    stroke.SetEnd(
        geometry::ConstrainEnd(stroke.Start(), event.x, event.y, event.shift, shape_ == Shape::Arrow));
    // The last preview is not erased: the opaque figure covers it.
    DrawFigure(stroke);
}

void ShapeTool::DrawFigure(const Stroke& stroke) const {
    const IntPoint s = stroke.Start();
    const IntPoint e = stroke.End();
    if (shape_ == Shape::Arrow) {
        DrawArrow(stroke.Canvas(), s.x, s.y, e.x, e.y);
    } else if (e.x != s.x) {
        DrawEllipse(stroke.Canvas(), s.x, s.y, e.x, e.y);
    }
}

}  // namespace tools
