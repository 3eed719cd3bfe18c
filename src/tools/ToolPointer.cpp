#include "tools/ToolPointer.h"

#include "tools/Tool.h"
#include "tools/ToolHost.h"
#include "tools/art/ToolArt.h"
#include "widgets/PictureBox.h"

namespace tools {

int ChosenToolVariant(const Tool& tool, int colorIndex) {
    if (colorIndex == 4 || colorIndex == 5) return 4;
    if (colorIndex >= 0 && colorIndex <= 3) return tool.ChosenVariant();
    return -1;
}

void ApplyToolPointer(ToolHost& host, const Tool* current) {
    PictureBox& canvas = host.Canvas();
    canvas.SetMousePointer(PictureBox::kPointerCustom);
    if (current == nullptr) {
        canvas.SetMouseIcon(Art().picCross);
        return;
    }
    if (const auto pointer = current->Pointer(ChosenToolVariant(*current, host.ColorIndex())))
        canvas.SetMouseIcon(*pointer);
}

void MirrorCanvasPointer(ToolHost& host) {
    host.ViewPanel().SetMouseIcon(host.Canvas().MouseIcon());
    host.ViewPanel().SetMousePointer(host.Canvas().MousePointer());
}

}  // namespace tools
