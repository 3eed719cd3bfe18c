// The tools of the tool pop-up, one entry each, in the order of their ids
// (lngTool; the program stores them): the pop-up, the tool set, the keyboard
// route through the pop-up and the button sizes all read this list. A tool
// brings its entry from its own files; one line in ToolCatalogue.cpp adds it.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "tools/Tool.h"

namespace canvas {
class CanvasSurface;
}

namespace tools {

class ToolHost;
struct ToolControls;

// What the tool set offers the tools it makes; each factory takes what its
// tool uses.
struct ToolParts {
    canvas::CanvasSurface& canvas;
    // The drawing colour as it is now (the text tool draws on commit).
    std::function<COLORREF()> currentColor;
    ToolHost& host;
    const ToolControls& controls;
};

struct ToolEntry {
    int id;            // lngTool
    const char* name;  // the German name: tooltip and what a screen reader says
    std::function<std::unique_ptr<PaletteTool>(const ToolParts& parts)> make;
};

using ToolCatalogue = std::span<const ToolEntry>;

// The program's tools: hand, highlighter, ellipse, arrow, text, eraser.
ToolCatalogue PaletteCatalogue();

// The tools made from a catalogue, indexed by id.
using ToolList = std::vector<std::unique_ptr<PaletteTool>>;

// The tool at `index`, or nullptr for an index without a tool.
inline PaletteTool* ToolAt(const ToolList& tools, int index) {
    if (index < 0 || index >= static_cast<int>(tools.size())) return nullptr;
    return tools[static_cast<std::size_t>(index)].get();
}

}  // namespace tools
