#include "tools/ToolSet.h"

#include <QCoreApplication>
#include <utility>

#include "core/Rounding.h"
#include "platform/qt/LargeImage.h"
#include "platform/qt/PictureClipboard.h"
#include "tools/ColorPalette.h"
#include "tools/CropTool.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/HighlighterTool.h"
#include "tools/PressSlideRelease.h"
#include "tools/ShapeTools.h"
#include "tools/TextTool.h"
#include "tools/ToolHost.h"
#include "tools/ToolPalette.h"
#include "tools/ToolPointer.h"
#include "tools/art/ToolArt.h"
#include "widgets/PictureBox.h"

namespace tools {

namespace {

constexpr int kLeftButton = 1;
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

}  // namespace

Tool* ToolAt(const ToolList& tools, int index) {
    if (index < 0 || index >= static_cast<int>(tools.size())) return nullptr;
    return tools[static_cast<std::size_t>(index)].get();
}

ToolSet::ToolSet(ToolHost& host) : host_(host) {
    // The crop frame lines go onto the canvas before the text box.
    tools_[kToolHighlighter] = std::make_unique<HighlighterTool>(host);
    tools_[kToolEraser] = std::make_unique<EraserTool>(host);
    tools_[kToolHand] = std::make_unique<HandTool>(host);
    crop_ = std::make_unique<CropTool>(host, tools_);
    auto text = std::make_unique<TextTool>(host);
    text_ = text.get();
    tools_[kToolText] = std::move(text);
    tools_[kToolEllipse] = std::make_unique<ShapeTool>(host, ShapeTool::Shape::Ellipse);
    tools_[kToolArrow] = std::make_unique<ShapeTool>(host, ShapeTool::Shape::Arrow);
    toolPalette_ = std::make_unique<ToolPalette>(
        host, tools_, [this](bool visible) { text_->SetSizePanelVisible(visible); });
    colorPalette_ = std::make_unique<ColorPalette>(host, tools_);

    // Moves and the release of a slide reach the pop-up fields, the two pop-up
    // buttons and the bare tool bar strip, as a hover would.
    auto acceptsTarget = [this](QWidget* target) {
        if (target == &toolPalette_->picTools || target == &colorPalette_->Picture5) return true;
        if (target->parentWidget() == &toolPalette_->picTools) return true;
        if (target->parentWidget() == &colorPalette_->Picture5) return true;
        return target == &host_.ToolsButton() || target == &host_.ColorsButton() ||
               target == &host_.ToolbarStrip();
    };
    // A slide that ends on the canvas closes the panels as any canvas release
    // does; it never runs a stroke or crop release without a canvas press.
    auto releasedElsewhere = [this](QWidget* target) {
        if (target != nullptr && (target == &host_.Canvas() || host_.Canvas().isAncestorOf(target)))
            HidePopups();
    };
    command2Slide_ = std::make_unique<PressSlideRelease>(
        host.ToolsButton(), host.Window(),
        PressSlideRelease::Handlers{[this] { Command2_MouseDown(); }, [this] { Command2_MouseMove(); },
                                    [this] { Command2_MouseUp(); }, acceptsTarget, releasedElsewhere});
    command3Slide_ = std::make_unique<PressSlideRelease>(
        host.ColorsButton(), host.Window(),
        PressSlideRelease::Handlers{[this] { Command3_MouseDown(); }, [this] { Command3_MouseMove(); },
                                    [this] { Command3_MouseUp(); }, acceptsTarget, releasedElsewhere});

    // At start: the hand tool, its picture on the tools button and its pointer.
    SetButtonPicture(host.ToolsButton(), Art().btnToolsPicture[0]);
    ApplyToolPointer(host, ToolAt(tools_, host.CurrentTool()));
    MirrorCanvasPointer(host);
}

ToolSet::~ToolSet() = default;

// --- pop-up buttons ---------------------------------------------------------------

void ToolSet::Command2_MouseDown() {
    host_.MoveFocusToDummy();
    toolPalette_->Show();
}

void ToolSet::Command2_MouseUp() {
    toolPalette_->Hide();
}

void ToolSet::Command2_MouseMove() {
    colorPalette_->Hide();
}

void ToolSet::Command3_MouseDown() {
    host_.MoveFocusToDummy();
    colorPalette_->Show();
    toolPalette_->Hide();
}

void ToolSet::Command3_MouseUp() {
    colorPalette_->Hide();
}

void ToolSet::Command3_MouseMove() {
    toolPalette_->Hide();
}

void ToolSet::HidePopups() {
    colorPalette_->Hide();
    toolPalette_->Hide();
}

// --- canvas -----------------------------------------------------------------------

void ToolSet::PutCanvasOnClipboard() {
    // The snapshot shares the canvas's pixels: putting it on the clipboard
    // copies nothing, and nothing is encoded unless another program reads
    // it. A drawing that follows gives the canvas its own copy (see the
    // press), for which the previous snapshot, once the clipboard has let go
    // of it, is kept for reuse.
    QImage previous = std::move(snapshot_);
    snapshot_ = host_.Canvas().Image();
    platform::PutPictureOnClipboard(snapshot_, platform::ClipboardUse::UndoSnapshot);
    platform::KeepForReuse(std::move(previous));
}

Tool* ToolSet::Current() const {
    return ToolAt(tools_, host_.CurrentTool());
}

void ToolSet::Picture2_MouseDown(int button, int shift, float x, float y) {
    host_.SetUndoReady(1);
    PutCanvasOnClipboard();
    // Timers and repaints run here; mouse and key input waits until this
    // press is set up, so a quick click's release can never overtake it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    StrokeState& stroke = host_.Stroke();
    if (stroke.blnCropMode != kFalse) {
        crop_->Press(button, x, y);
        return;
    }
    if (button != kLeftButton) return;
    // Every tool but the hand draws: the canvas makes its pixels its own now,
    // while nothing is being drawn. Without the memory for that the press
    // does nothing and the picture stays as it is.
    if (host_.CurrentTool() != kToolHand && !host_.Canvas().DetachImage()) return;

    stroke.blnDrawing = kTrue;
    stroke.lngStartX = core::N(x);
    stroke.lngStartY = core::N(y);
    PictureBox& canvas = host_.Canvas();
    canvas.DrawStyle = 0;
    canvas.DrawWidth = 3;
    if (Tool* tool = Current()) tool->Press(shift, x, y);
}

void ToolSet::Picture2_MouseMove(int button, int shift, float x, float y) {
    const StrokeState& stroke = host_.Stroke();
    if (stroke.blnCropDrag != kFalse) {
        crop_->Move(x, y);
        return;
    }
    if (button != kLeftButton || stroke.blnDrawing == kFalse) return;
    if (Tool* tool = Current()) tool->Move(shift, x, y);
}

void ToolSet::Picture2_MouseUp(int button, int shift, float x, float y) {
    HidePopups();
    StrokeState& stroke = host_.Stroke();
    if (stroke.blnCropMode != kFalse) {
        crop_->Release();
        return;
    }
    if (button != kLeftButton || stroke.blnDrawing == kFalse) return;
    stroke.lngEndX = core::N(x);
    stroke.lngEndY = core::N(y);
    if (Tool* tool = Current()) tool->Release(shift, x, y);
    stroke.blnDrawing = kFalse;
}

std::unique_ptr<ToolSet> CreateToolSet(ToolHost& host) {
    return std::make_unique<ToolSet>(host);
}

}  // namespace tools
