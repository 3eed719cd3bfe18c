#include "tools/ToolCatalogue.h"

#include <array>
#include <cstdlib>

#include "tools/ArrowTool.h"
#include "tools/EllipseTool.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/HighlighterTool.h"
#include "tools/TextTool.h"

namespace tools {

ToolCatalogue PaletteCatalogue() {
    // One line per tool, in the order of the ids.
    static const std::array entries{
        HandTool::Entry(),         // 0
        HighlighterTool::Entry(),  // 1
        EllipseTool::Entry(),      // 2
        ArrowTool::Entry(),        // 3
        TextTool::Entry(),         // 4
        EraserTool::Entry(),       // 5
    };
    // An id is the tool's place in the list (lngTool's value); an entry out
    // of its place is a programming error, found at the first start.
    static const bool inOrder = [] {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].id != static_cast<int>(i)) std::abort();
        }
        return true;
    }();
    (void)inOrder;
    return entries;
}

}  // namespace tools
