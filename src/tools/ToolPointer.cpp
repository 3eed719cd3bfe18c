#include "tools/ToolPointer.h"

#include "editor/frmCapture.h"
#include "tools/ToolPalette.h"
#include "tools/art/ToolArt.h"

namespace tools {

void ApplyToolPointer(frmCapture& form) {
    const ToolArt& art = Art();
    PictureBox& canvas = form.Picture2;
    canvas.SetMousePointer(PictureBox::kPointerCustom);
    switch (form.lngTool) {
        case kToolHand:
            canvas.SetMouseIcon(art.picHand[0]);
            break;
        case kToolHighlighter: {
            const int c = form.intColorIndex;
            if (c == 4 || c == 5) {
                canvas.SetMouseIcon(art.MarkerPointer(4));
            } else if (c >= 0 && c <= 3) {
                canvas.SetMouseIcon(art.MarkerPointer(2));
            }
            break;
        }
        case kToolArrow:
            canvas.SetMouseIcon(art.picArrow);
            break;
        case kToolText:
            canvas.SetMouseIcon(art.picText);
            break;
        case kToolEraser:
            canvas.SetMouseIcon(art.picEraser);
            break;
        default:
            canvas.SetMouseIcon(art.picCross);
            break;
    }
}

void MirrorCanvasPointer(frmCapture& form) {
    form.Picture3.SetMouseIcon(form.Picture2.MouseIcon());
    form.Picture3.SetMousePointer(form.Picture2.MousePointer());
}

}  // namespace tools
