// The ellipse ("Kreis"): a rubber band inscribed in the rectangle from the
// press to the pointer, the ellipse drawn opaque on release.
#pragma once

#include "tools/ShapeTools.h"

namespace tools {

struct ToolEntry;

class EllipseTool : public ShapeTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 2;
    static ToolEntry Entry();

    EllipseTool() : ShapeTool(Shape::Ellipse) {}

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
};

}  // namespace tools
