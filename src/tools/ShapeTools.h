// The arrow ("Pfeil") and the ellipse ("Kreis"): a rubber band drawn with an
// XOR pen while the left button is held, erased by drawing it again, and the
// final figure drawn opaque in the current colour on release.
#pragma once

#include <cstdint>

#include "editor/ColorRef.h"
#include "tools/geometry/ConstrainEnd.h"

class frmCapture;
class PictureBox;

namespace tools {

// The plain RGB value of a colour; a system colour is resolved through the
// application palette (the button face shows as its RGB value).
COLORREF ResolveColor(COLORREF color);

class ShapeTools {
  public:
    explicit ShapeTools(frmCapture& form);

    // Left press (after the common press steps); tool is 2 (ellipse) or 3 (arrow).
    void Press(int tool, float x, float y);
    // Each move of the stroke: erase the last preview, constrain, draw the new one.
    void Move(int tool, int shift, float x, float y);
    // Release: copy pen, the press colour back, the final figure.
    void Commit(int tool, int shift, float x, float y);

    // The figures between two points with the canvas pen as it stands.
    void DrawArrow(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void DrawEllipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

  private:
    void DrawFigure(int tool);
    void SetEnd(IntPoint end);

    frmCapture& form_;
};

}  // namespace tools
