#include "tools/HighlighterTool.h"

#include <QPainter>

#include "core/Rounding.h"
#include "tools/art/ToolArt.h"
#include "widgets/PictureBox.h"

namespace tools {

HighlighterTool::HighlighterTool(ToolHost& host) : host_(host), stroke_(host.Stroke()) {}

void HighlighterTool::Press(int /*shift*/, float x, float y) {
    PictureBox& canvas = host_.Canvas();
    canvas.DrawWidth = kPenWidth;
    canvas.DrawMode = PictureBox::kDrawModeMaskPen;
    canvas.ForeColor = host_.CurrentColor();

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

void HighlighterTool::Move(int /*shift*/, float x, float y) {
    stroke_.lngEndX = stroke_.lngStartX;
    stroke_.lngEndY = stroke_.lngStartY;
    stroke_.lngStartX = core::N(x);
    stroke_.lngStartY = core::N(y);
    host_.Canvas().Line(static_cast<float>(stroke_.lngStartX), static_cast<float>(stroke_.lngStartY),
                        static_cast<float>(stroke_.lngEndX), static_cast<float>(stroke_.lngEndY));
}

std::optional<QCursor> HighlighterTool::Pointer(int variant) const {
    if (variant < 0) return std::nullopt;
    return Art().MarkerPointer(variant);
}

const QPixmap& HighlighterTool::Look(int variant) const {
    return Art().picMarker[static_cast<std::size_t>(variant)];
}

}  // namespace tools
