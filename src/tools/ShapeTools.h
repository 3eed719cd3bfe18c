// The arrow ("Pfeil") and the ellipse ("Kreis"): a rubber band drawn with an
// XOR pen while the left button is held, erased by drawing it again, and the
// final figure drawn opaque in the current colour on release.
#pragma once

#include <cstdint>

#include "tools/Tool.h"
#include "tools/ToolHost.h"
#include "geometry/ConstrainEnd.h"
#include "widgets/ColorRef.h"

class PictureBox;

namespace tools {

// The plain RGB value of a colour; a system colour is resolved through the
// application palette (the button face shows as its RGB value).
COLORREF ResolveColor(COLORREF color);

// The figures between two points with the canvas pen as it stands.
void DrawArrow(PictureBox& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void DrawEllipse(PictureBox& canvas, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

class ShapeTool : public Tool {
  public:
    enum class Shape { Ellipse, Arrow };

    ShapeTool(ToolHost& host, Shape shape);

    // Sets the XOR pen of the rubber band.
    void Press(int shift, float x, float y) override;
    // Erases the last preview, constrains the end, draws the new one.
    void Move(int shift, float x, float y) override;
    // Copy pen, the press colour back, the final figure.
    void Release(int shift, float x, float y) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    COLORREF ChosenColor() const override { return 0x000000FF; }  // red

  private:
    void DrawFigure();
    void SetEnd(geometry::IntPoint end);

    ToolHost& host_;
    StrokeState& stroke_;
    Shape shape_;
    COLORREF pressColor_ = 0;  // the figure's colour, taken at the press
};

}  // namespace tools
