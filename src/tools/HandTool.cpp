#include "tools/HandTool.h"

#include <QScrollBar>

#include "core/Rounding.h"
#include "tools/art/ToolArt.h"
#include "geometry/PanScroll.h"
#include "widgets/PictureBox.h"
#include "widgets/WindowHelpers.h"

namespace tools {

namespace {

constexpr float kTwipsPerPixel = static_cast<float>(app::kTwipsPerPixel);

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
    geometry::PanAxis axis;
    axis.value = bar.value();
    axis.min = bar.minimum();
    axis.max = bar.maximum();
    axis.canvasPos = canvasPos;
    axis.panStart = panStart;
    axis.pointerStart = pointerStart;
    axis.pointer = pointer;
    axis.twipsPerPixel = kTwipsPerPixel;
    bar.setValue(geometry::PanScrollValue(axis));
}

}  // namespace

HandTool::HandTool(ToolHost& host) : host_(host), stroke_(host.Stroke()) {}

void HandTool::Press(int /*shift*/, float x, float y) {
    PictureBox& canvas = host_.Canvas();
    canvas.SetScaleMode(PictureBox::kScaleTwips);
    canvas.SetMouseIcon(GrabbingHand());
    const float left = static_cast<float>(host_.Picture2LeftTwips());
    const float top = static_cast<float>(host_.Picture2TopTwips());
    stroke_.lngStartX = core::N(kTwipsPerPixel * x + left);
    stroke_.lngStartY = core::N(kTwipsPerPixel * y + top);
    stroke_.lngPanLeft = core::N(left);
    stroke_.lngPanTop = core::N(top);
    stroke_.blnPanning = -1;
}

void HandTool::Move(int /*shift*/, float x, float y) {
    if (stroke_.blnPanning == 0) return;
    PanAxisStep(host_.HorizontalScroll(), static_cast<float>(host_.Picture2LeftTwips()), stroke_.lngPanLeft,
                stroke_.lngStartX, x);
    PanAxisStep(host_.VerticalScroll(), static_cast<float>(host_.Picture2TopTwips()), stroke_.lngPanTop,
                stroke_.lngStartY, y);
    host_.Canvas().Refresh();
}

void HandTool::Release(int /*shift*/, float /*x*/, float /*y*/) {
    stroke_.blnPanning = 0;
    host_.Canvas().SetScaleMode(PictureBox::kScalePixels);
    host_.Canvas().SetMouseIcon(OpenHand());
}

std::optional<QCursor> HandTool::Pointer(int /*variant*/) const {
    return OpenHand();
}

const QPixmap& HandTool::Look(int /*variant*/) const {
    return Art().btnToolsPicture[0];
}

}  // namespace tools
