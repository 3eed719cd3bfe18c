#include "tools/StrokeProtocol.h"

#include <QCoreApplication>

#include "canvas/EditorState.h"
#include "core/Rounding.h"
#include "platform/qt/PictureClipboard.h"

namespace tools {

namespace {

constexpr int kLeftButton = 1;

}  // namespace

StrokeProtocol::StrokeProtocol(canvas::EditorState& state, ToolHost& host, const ToolList& tools)
    : state_(state), host_(host), tools_(tools) {}

void StrokeProtocol::PutCanvasOnClipboard() {
    // The snapshot is a version of the canvas: putting it on the clipboard
    // copies nothing, the stroke that follows keeps only the tiles it
    // overwrites, and nothing is encoded unless another program reads it.
    state_.Clipboard().Put(state_.Canvas().TakeVersion(), platform::ClipboardUse::UndoSnapshot);
}

PaletteTool* StrokeProtocol::Current() const {
    return ToolAt(tools_, state_.CurrentTool());
}

void StrokeProtocol::PressHandled() {
    for (const auto& tool : tools_) {
        if (tool) tool->PressHandled();
    }
}

void StrokeProtocol::Press(const ToolEvent& event) {
    state_.SetUndoReady(1);
    PutCanvasOnClipboard();
    // Timers and repaints run here; mouse and key input waits until this
    // press is set up, so a quick click's release can never overtake it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    if (oneShot_ != nullptr && oneShot_->IsArmed()) {
        oneShot_->Press(event);
        return;
    }
    if (event.button != kLeftButton) return;

    drawing_ = true;
    stroke_.emplace(state_.Canvas(), state_.CurrentColor(), state_.ReferenceVersion(), host_,
                    geometry::IntPoint{core::N(event.x), core::N(event.y)});
    canvas::PenState pen = state_.Canvas().Pen();
    pen.DrawStyle = 0;
    pen.DrawWidth = 3;
    state_.Canvas().SetPen(pen);
    if (PaletteTool* tool = Current()) tool->Press(*stroke_, event);
}

void StrokeProtocol::Move(const ToolEvent& event) {
    if (oneShot_ != nullptr && oneShot_->IsDragging()) {
        oneShot_->Move(event);
        return;
    }
    if (event.button != kLeftButton || !drawing_) return;
    if (PaletteTool* tool = Current()) tool->Move(*stroke_, event);
}

void StrokeProtocol::Release(const ToolEvent& event) {
    if (releaseStart_) releaseStart_();
    PressHandled();
    if (oneShot_ != nullptr && oneShot_->IsArmed()) {
        oneShot_->Release(event);
        return;
    }
    if (event.button != kLeftButton || !drawing_) return;
    stroke_->SetEnd({core::N(event.x), core::N(event.y)});
    if (PaletteTool* tool = Current()) tool->Release(*stroke_, event);
    drawing_ = false;
}

void StrokeProtocol::Cancel() {
    if (oneShot_ != nullptr && oneShot_->IsDragging()) oneShot_->Cancel();
    if (!drawing_) return;
    if (PaletteTool* tool = Current()) tool->Cancel();
    drawing_ = false;
}

}  // namespace tools
