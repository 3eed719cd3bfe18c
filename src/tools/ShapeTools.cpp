#include "tools/ShapeTools.h"

#include "core/Rounding.h"
#include "tools/CanvasPen.h"
#include "tools/art/ToolArt.h"
#include "geometry/ShapeFigures.h"
#include "widgets/PictureBox.h"

namespace tools {

namespace {

void ArrowLines(CanvasPen& pen, geometry::IntPoint from, geometry::IntPoint to) {
    const geometry::ArrowFigure f = geometry::MakeArrow(from, to);
    pen.Line(QPointF(f.tail.x, f.tail.y), QPointF(f.tip.x, f.tip.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbA.x, f.barbA.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbB.x, f.barbB.y));
}

// The ellipse inscribed in the rectangle of two corners, drawn as a circle
// with aspect: nothing when the corners share x.
void EllipseOutline(CanvasPen& pen, geometry::IntPoint corner1, geometry::IntPoint corner2) {
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

void DrawArrow(PictureBox& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    CanvasPen pen(canvas);
    ArrowLines(pen, {x1, y1}, {x2, y2});
}

void DrawEllipse(PictureBox& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    CanvasPen pen(canvas);
    EllipseOutline(pen, {x1, y1}, {x2, y2});
}

ShapeTool::ShapeTool(ToolHost& host, Shape shape) : host_(host), stroke_(host.Stroke()), shape_(shape) {}

void ShapeTool::Press(int /*shift*/, float x, float y) {
    PictureBox& canvas = host_.Canvas();
    if (shape_ == Shape::Arrow) {
        // A zero-length line with whatever pen the previous stroke left.
        CanvasPen pen(canvas);
        pen.Line(QPointF(x, y), QPointF(x, y));
    }
    // The rubber band's XOR pen shows the figure's own colour over the
    // canvas background; the figure's colour itself stays with the stroke.
    pressColor_ = ResolveColor(host_.CurrentColor());
    canvas.DrawMode = PictureBox::kDrawModeXorPen;
    canvas.ForeColor = ResolveColor(canvas.BackColor()) ^ pressColor_;
    canvas.FillStyle = PictureBox::kFillTransparent;
    stroke_.lngEndX = stroke_.lngStartX;
    stroke_.lngEndY = stroke_.lngStartY;
}

void ShapeTool::SetEnd(geometry::IntPoint end) {
    stroke_.lngEndX = end.x;
    stroke_.lngEndY = end.y;
}

void ShapeTool::Move(int shift, float x, float y) {
    const geometry::IntPoint start{stroke_.lngStartX, stroke_.lngStartY};
    const bool arrow = shape_ == Shape::Arrow;
    CanvasPen pen(host_.Canvas());
    // Erase the previous preview by drawing it again with the XOR pen. An
    // ellipse that was not drawn (end x on start x) is not erased either.
    if (arrow) {
        ArrowLines(pen, start, {stroke_.lngEndX, stroke_.lngEndY});
    } else if (stroke_.lngEndX != stroke_.lngStartX) {
        EllipseOutline(pen, start, {stroke_.lngEndX, stroke_.lngEndY});
    }
    SetEnd(geometry::ConstrainEnd(start, x, y, shift, arrow));
    if (arrow) {
        ArrowLines(pen, start, {stroke_.lngEndX, stroke_.lngEndY});
    } else if (stroke_.lngEndX != stroke_.lngStartX) {
        EllipseOutline(pen, start, {stroke_.lngEndX, stroke_.lngEndY});
    }
}

void ShapeTool::Release(int shift, float x, float y) {
    PictureBox& canvas = host_.Canvas();
    canvas.DrawMode = PictureBox::kDrawModeCopyPen;
    canvas.ForeColor = pressColor_;
    SetEnd(geometry::ConstrainEnd({stroke_.lngStartX, stroke_.lngStartY}, x, y, shift, shape_ == Shape::Arrow));
    // The last preview is not erased: the opaque figure covers it.
    DrawFigure();
}

void ShapeTool::DrawFigure() {
    if (shape_ == Shape::Arrow) {
        DrawArrow(host_.Canvas(), stroke_.lngStartX, stroke_.lngStartY, stroke_.lngEndX, stroke_.lngEndY);
    } else if (stroke_.lngEndX != stroke_.lngStartX) {
        DrawEllipse(host_.Canvas(), stroke_.lngStartX, stroke_.lngStartY, stroke_.lngEndX, stroke_.lngEndY);
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
