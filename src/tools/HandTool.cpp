#include "tools/HandTool.h"

#include "core/Rounding.h"
#include "editor/frmCapture.h"
#include "tools/art/ToolArt.h"
#include "tools/geometry/PanScroll.h"

namespace tools {

namespace {

constexpr float kTwipsPerPixel = static_cast<float>(frmCapture::kTwipsPerPixel);

const QCursor& OpenHand() {
    return Art().picHand[0];
}
const QCursor& GrabbingHand() {
    return Art().picHand[1];
}

// Moves one scroll bar a step of the drag; setting the value runs its change
// handler, which places the canvas.
void PanAxisStep(QScrollBar& bar, float canvasPos, std::int32_t panStart, std::int32_t pointerStart,
                 float pointer) {
    if (!bar.isEnabled()) return;
    PanAxis axis;
    axis.value = bar.value();
    axis.min = bar.minimum();
    axis.max = bar.maximum();
    axis.canvasPos = canvasPos;
    axis.panStart = panStart;
    axis.pointerStart = pointerStart;
    axis.pointer = pointer;
    axis.twipsPerPixel = kTwipsPerPixel;
    bar.setValue(PanScrollValue(axis));
}

}  // namespace

HandTool::HandTool(frmCapture& form) : form_(form) {}

void HandTool::Press(float x, float y) {
    PictureBox& canvas = form_.Picture2;
    canvas.SetScaleMode(PictureBox::kScaleTwips);
    canvas.SetMouseIcon(GrabbingHand());
    const float left = static_cast<float>(form_.Picture2LeftTwips());
    const float top = static_cast<float>(form_.Picture2TopTwips());
    form_.lngStartX = core::N(kTwipsPerPixel * x + left);
    form_.lngStartY = core::N(kTwipsPerPixel * y + top);
    form_.lngPanLeft = core::N(left);
    form_.lngPanTop = core::N(top);
    form_.blnPanning = -1;
}

void HandTool::Move(float x, float y) {
    if (form_.blnPanning == 0) return;
    PanAxisStep(form_.HScroll1, static_cast<float>(form_.Picture2LeftTwips()), form_.lngPanLeft,
                form_.lngStartX, x);
    PanAxisStep(form_.VScroll1, static_cast<float>(form_.Picture2TopTwips()), form_.lngPanTop,
                form_.lngStartY, y);
    form_.Picture2.Refresh();
}

void HandTool::Release() {
    form_.blnPanning = 0;
    form_.Picture2.SetScaleMode(PictureBox::kScalePixels);
    form_.Picture2.SetMouseIcon(OpenHand());
}

}  // namespace tools
