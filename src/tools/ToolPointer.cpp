#include "tools/ToolPointer.h"

#include "canvas/CanvasView.h"
#include "tools/Tool.h"
#include "tools/art/ToolArt.h"

namespace tools {

int ChosenToolVariant(const PaletteTool& tool, int colorIndex) {
    if (colorIndex == 4 || colorIndex == 5) return 4;
    if (colorIndex >= 0 && colorIndex <= 3) return tool.ChosenVariant();
    return -1;
}

void ApplyToolPointer(canvas::CanvasView& canvas, int colorIndex, const PaletteTool* current) {
    canvas.SetMousePointer(canvas::kPointerCustom);
    if (current == nullptr) {
        canvas.SetMouseIcon(Art().picCross);
        return;
    }
    if (const auto pointer = current->Pointer(ChosenToolVariant(*current, colorIndex)))
        canvas.SetMouseIcon(*pointer);
}

void MirrorCanvasPointer(const canvas::CanvasView& canvas, canvas::ViewPanel& panel) {
    panel.SetMouseIcon(canvas.MouseIcon());
    panel.SetMousePointer(canvas.MousePointer());
}

}  // namespace tools
