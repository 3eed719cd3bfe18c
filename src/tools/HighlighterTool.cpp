#include "tools/HighlighterTool.h"

#include <QPainter>

#include "core/Rounding.h"
#include "editor/frmCapture.h"

namespace tools {

HighlighterTool::HighlighterTool(frmCapture& form) : form_(form) {}

void HighlighterTool::Press(float x, float y) {
    PictureBox& canvas = form_.Picture2;
    canvas.DrawWidth = kPenWidth;
    canvas.DrawMode = PictureBox::kDrawModeMaskPen;
    canvas.ForeColor = form_.CurrentColor();

    // The spot of a click: a pen-wide square around the press point, masked
    // like the strokes (a degenerate rectangle drawn with the wide pen).
    const int half = kPenWidth / 2;
    const QRect spot(core::N(x) - half, core::N(y) - half, kPenWidth, kPenWidth);
    QImage& image = canvas.Image();
    if (!image.isNull()) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.fillRect(spot, ToQColor(canvas.ForeColor));
    }
    canvas.CurrentX = x;
    canvas.CurrentY = y;
    canvas.Refresh(spot);
}

void HighlighterTool::Move(float x, float y) {
    form_.lngEndX = form_.lngStartX;
    form_.lngEndY = form_.lngStartY;
    form_.lngStartX = core::N(x);
    form_.lngStartY = core::N(y);
    form_.Picture2.Line(static_cast<float>(form_.lngStartX), static_cast<float>(form_.lngStartY),
                        static_cast<float>(form_.lngEndX), static_cast<float>(form_.lngEndY));
}

}  // namespace tools
