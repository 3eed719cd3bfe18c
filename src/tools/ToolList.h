// The tools of the tool pop-up, indexed by lngTool.
#pragma once

#include <array>
#include <memory>

#include "tools/Tool.h"

namespace tools {

inline constexpr int kToolHand = 0;
inline constexpr int kToolHighlighter = 1;
inline constexpr int kToolEllipse = 2;
inline constexpr int kToolArrow = 3;
inline constexpr int kToolText = 4;
inline constexpr int kToolEraser = 5;

using ToolList = std::array<std::unique_ptr<PaletteTool>, 6>;

// The tool at `index`, or nullptr for an index without a tool.
inline PaletteTool* ToolAt(const ToolList& tools, int index) {
    if (index < 0 || index >= static_cast<int>(tools.size())) return nullptr;
    return tools[static_cast<std::size_t>(index)].get();
}

}  // namespace tools
