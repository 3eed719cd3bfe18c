// The arrow ("Pfeil"): a rubber band from the press, the arrow drawn opaque
// on release, its barbs at the release point.
#pragma once

#include "tools/ShapeTools.h"

namespace tools {

struct ToolEntry;

class ArrowTool : public ShapeTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 3;
    static ToolEntry Entry();

    ArrowTool() : ShapeTool(Shape::Arrow) {}

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
};

}  // namespace tools
