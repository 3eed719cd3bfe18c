#include "tools/EllipseTool.h"

#include "tools/ToolCatalogue.h"
#include "tools/art/ToolArt.h"

namespace tools {

ToolEntry EllipseTool::Entry() {
    return {kId, "Kreis", [](const ToolParts& /*parts*/) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<EllipseTool>();
            }};
}

std::optional<QCursor> EllipseTool::Pointer(int /*variant*/) const {
    return Art().picCross;
}

const QPixmap& EllipseTool::Look(int variant) const {
    return Art().picKreis[static_cast<std::size_t>(variant)];
}

}  // namespace tools
