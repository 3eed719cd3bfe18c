#include "tools/ShapeTools.h"

#include "core/Rounding.h"
#include "editor/frmCapture.h"
#include "tools/CanvasPen.h"
#include "tools/ToolPalette.h"
#include "tools/geometry/ShapeFigures.h"

namespace tools {

namespace {

void ArrowLines(CanvasPen& pen, IntPoint from, IntPoint to) {
    const ArrowFigure f = MakeArrow(from, to);
    pen.Line(QPointF(f.tail.x, f.tail.y), QPointF(f.tip.x, f.tip.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbA.x, f.barbA.y));
    pen.Line(QPointF(f.tip.x, f.tip.y), QPointF(f.barbB.x, f.barbB.y));
}

// The ellipse inscribed in the rectangle of two corners, drawn as a circle
// with aspect: nothing when the corners share x.
void EllipseOutline(CanvasPen& pen, IntPoint corner1, IntPoint corner2) {
    const EllipseFigure f = MakeEllipse(corner1, corner2);
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

ShapeTools::ShapeTools(frmCapture& form) : form_(form) {}

void ShapeTools::Press(int tool, float x, float y) {
    PictureBox& canvas = form_.Picture2;
    if (tool == kToolArrow) {
        // A zero-length line with whatever pen the previous stroke left.
        CanvasPen pen(canvas);
        pen.Line(QPointF(x, y), QPointF(x, y));
    }
    canvas.DrawMode = PictureBox::kDrawModeXorPen;
    canvas.ForeColor = ResolveColor(canvas.BackColor()) ^ ResolveColor(form_.CurrentColor());
    canvas.FillStyle = PictureBox::kFillTransparent;
    form_.lngEndX = form_.lngStartX;
    form_.lngEndY = form_.lngStartY;
}

void ShapeTools::SetEnd(IntPoint end) {
    form_.lngEndX = end.x;
    form_.lngEndY = end.y;
}

void ShapeTools::Move(int tool, int shift, float x, float y) {
    const IntPoint start{form_.lngStartX, form_.lngStartY};
    const bool arrow = tool == kToolArrow;
    CanvasPen pen(form_.Picture2);
    // Erase the previous preview by drawing it again with the XOR pen. An
    // ellipse that was not drawn (end x on start x) is not erased either.
    if (arrow) {
        ArrowLines(pen, start, {form_.lngEndX, form_.lngEndY});
    } else if (form_.lngEndX != form_.lngStartX) {
        EllipseOutline(pen, start, {form_.lngEndX, form_.lngEndY});
    }
    SetEnd(ConstrainEnd(start, x, y, shift, arrow));
    if (arrow) {
        ArrowLines(pen, start, {form_.lngEndX, form_.lngEndY});
    } else if (form_.lngEndX != form_.lngStartX) {
        EllipseOutline(pen, start, {form_.lngEndX, form_.lngEndY});
    }
}

void ShapeTools::Commit(int tool, int shift, float x, float y) {
    PictureBox& canvas = form_.Picture2;
    canvas.DrawMode = PictureBox::kDrawModeCopyPen;
    canvas.ForeColor = ResolveColor(canvas.BackColor()) ^ canvas.ForeColor;
    const bool arrow = tool == kToolArrow;
    SetEnd(ConstrainEnd({form_.lngStartX, form_.lngStartY}, x, y, shift, arrow));
    // The last preview is not erased: the opaque figure covers it.
    DrawFigure(tool);
}

void ShapeTools::DrawFigure(int tool) {
    if (tool == kToolArrow) {
        DrawArrow(form_.lngStartX, form_.lngStartY, form_.lngEndX, form_.lngEndY);
    } else if (form_.lngEndX != form_.lngStartX) {
        DrawEllipse(form_.lngStartX, form_.lngStartY, form_.lngEndX, form_.lngEndY);
    }
}

void ShapeTools::DrawArrow(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    CanvasPen pen(form_.Picture2);
    ArrowLines(pen, {x1, y1}, {x2, y2});
}

void ShapeTools::DrawEllipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    CanvasPen pen(form_.Picture2);
    EllipseOutline(pen, {x1, y1}, {x2, y2});
}

}  // namespace tools
