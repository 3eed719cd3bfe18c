#include "tools/HandTool.h"

#include <QScrollBar>

#include "canvas/CanvasView.h"
#include "core/Rounding.h"
#include "core/Units.h"
#include "geometry/PanScroll.h"
#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"
#include "tools/ToolHost.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

constexpr float kTwipsPerPixel = static_cast<float>(core::kTwipsPerPixel);

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

ToolEntry HandTool::Entry() {
    return {kId, "Hand", [](const ToolParts& parts) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<HandTool>(parts.controls.canvas, parts.controls.horizontalScroll,
                                                  parts.controls.verticalScroll);
            }};
}

HandTool::HandTool(canvas::CanvasView& view, QScrollBar& horizontal, QScrollBar& vertical)
    : view_(view), horizontal_(horizontal), vertical_(vertical) {}

void HandTool::Press(Stroke& stroke, const ToolEvent& event) {
    view_.SetMouseIcon(GrabbingHand());
    const float left = static_cast<float>(stroke.Host().CanvasLeftTwips());
    const float top = static_cast<float>(stroke.Host().CanvasTopTwips());
    stroke.SetStart({core::N(kTwipsPerPixel * event.x + left), core::N(kTwipsPerPixel * event.y + top)});
    lngPanLeft_ = core::N(left);
    lngPanTop_ = core::N(top);
    blnPanning_ = -1;
}

void HandTool::Move(Stroke& stroke, const ToolEvent& event) {
    if (blnPanning_ == 0) return;
    // The pointer in canvas twips, the unit of the scroll bars.
    const float x = static_cast<float>(static_cast<double>(event.x) * kTwipsPerPixel);
    const float y = static_cast<float>(static_cast<double>(event.y) * kTwipsPerPixel);
    const ToolHost& host = stroke.Host();
    PanAxisStep(horizontal_, static_cast<float>(host.CanvasLeftTwips()), lngPanLeft_, stroke.Start().x, x);
    PanAxisStep(vertical_, static_cast<float>(host.CanvasTopTwips()), lngPanTop_, stroke.Start().y, y);
    view_.update();
}

void HandTool::Release(Stroke& /*stroke*/, const ToolEvent& /*event*/) {
    Cancel();
}

void HandTool::Cancel() {
    blnPanning_ = 0;
    view_.SetMouseIcon(OpenHand());
}

std::optional<QCursor> HandTool::Pointer(int /*variant*/) const {
    return OpenHand();
}

const QPixmap& HandTool::Look(int /*variant*/) const {
    return Art().handPicture;
}

}  // namespace tools
