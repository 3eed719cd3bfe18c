#include "tools/ArrowTool.h"

#include "tools/ToolCatalogue.h"
#include "tools/art/ToolArt.h"

namespace tools {

ToolEntry ArrowTool::Entry() {
    return {kId, "Pfeil", [](const ToolParts& /*parts*/) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<ArrowTool>();
            }};
}

std::optional<QCursor> ArrowTool::Pointer(int /*variant*/) const {
    return Art().picArrow;
}

const QPixmap& ArrowTool::Look(int variant) const {
    return Art().piciArrow[static_cast<std::size_t>(variant)];
}

}  // namespace tools
