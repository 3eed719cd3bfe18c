// What the arrow ("Pfeil") and the ellipse ("Kreis") share: a rubber band
// drawn with an XOR pen while the left button is held, erased by drawing it
// again, and the final figure drawn opaque in the current colour on release.
// Each of the two tools has its own files (ArrowTool, EllipseTool).
#pragma once

#include <cstdint>

#include "geometry/ConstrainEnd.h"
#include "tools/Tool.h"
#include "widgets/ColorRef.h"

namespace canvas {
class CanvasSurface;
}

namespace tools {

// The plain RGB value of a colour; a system colour is resolved through the
// application palette (the button face shows as its RGB value).
COLORREF ResolveColor(COLORREF color);

// The figures between two points with the canvas pen as it stands.
void DrawArrow(canvas::CanvasSurface& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2,
               std::int32_t y2);
void DrawEllipse(canvas::CanvasSurface& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2);

class ShapeTool : public PaletteTool {
  public:
    enum class Shape { Ellipse, Arrow };

    explicit ShapeTool(Shape shape) : shape_(shape) {}

    // Sets the XOR pen of the rubber band.
    void Press(Stroke& stroke, const ToolEvent& event) override;
    // Erases the last preview, constrains the end, draws the new one.
    void Move(Stroke& stroke, const ToolEvent& event) override;
    // Copy pen, the press colour back, the final figure.
    void Release(Stroke& stroke, const ToolEvent& event) override;

    COLORREF ChosenColor() const override { return 0x000000FF; }  // red

  private:
    void DrawFigure(const Stroke& stroke) const;

    Shape shape_;
    COLORREF pressColor_ = 0;  // the figure's colour, taken at the press
};

}  // namespace tools
