#include "tools/ToolSet.h"

#include <QCoreApplication>
#include <utility>

#include "core/Rounding.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureClipboard.h"
#include "tools/ColorPalette.h"
#include "tools/CropTool.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/HighlighterTool.h"
#include "tools/PressSlideRelease.h"
#include "tools/ShapeTools.h"
#include "tools/TextTool.h"
#include "tools/ToolPalette.h"
#include "tools/ToolPointer.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

constexpr int kLeftButton = 1;
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

}  // namespace

ToolSet::ToolSet(frmCapture& form)
    : form_(form),
      highlighter_(std::make_unique<HighlighterTool>(form)),
      eraser_(std::make_unique<EraserTool>(form)),
      hand_(std::make_unique<HandTool>(form)),
      crop_(std::make_unique<CropTool>(form)),
      text_(std::make_unique<TextTool>(form)),
      shapes_(std::make_unique<ShapeTools>(form)) {
    toolPalette_ =
        std::make_unique<ToolPalette>(form, [this](bool visible) { text_->SetSizePanelVisible(visible); });
    colorPalette_ = std::make_unique<ColorPalette>(form);

    // Moves and the release of a slide reach the pop-up fields, the two pop-up
    // buttons and the bare tool bar strip, as a hover would.
    auto acceptsTarget = [this](QWidget* target) {
        if (target == &toolPalette_->picTools || target == &colorPalette_->Picture5) return true;
        if (target->parentWidget() == &toolPalette_->picTools) return true;
        if (target->parentWidget() == &colorPalette_->Picture5) return true;
        return target == &form_.Command2 || target == &form_.Command3 || target == &form_.Picture1;
    };
    // A slide that ends on the canvas closes the panels as any canvas release
    // does; it never runs a stroke or crop release without a canvas press.
    auto releasedElsewhere = [this](QWidget* target) {
        if (target != nullptr && (target == &form_.Picture2 || form_.Picture2.isAncestorOf(target)))
            HidePopups();
    };
    command2Slide_ = std::make_unique<PressSlideRelease>(
        form.Command2, form,
        PressSlideRelease::Handlers{[this] { Command2_MouseDown(); }, [this] { Command2_MouseMove(); },
                                    [this] { Command2_MouseUp(); }, acceptsTarget, releasedElsewhere});
    command3Slide_ = std::make_unique<PressSlideRelease>(
        form.Command3, form,
        PressSlideRelease::Handlers{[this] { Command3_MouseDown(); }, [this] { Command3_MouseMove(); },
                                    [this] { Command3_MouseUp(); }, acceptsTarget, releasedElsewhere});

    // At start: the hand tool, its picture on the tools button and its pointer.
    SetButtonPicture(form.Command2, Art().btnToolsPicture[0]);
    ApplyToolPointer(form);
    MirrorCanvasPointer(form);
}

ToolSet::~ToolSet() = default;

// --- pop-up buttons ---------------------------------------------------------------

void ToolSet::Command2_MouseDown() {
    form_.MoveFocusToDummy();
    toolPalette_->Show();
}

void ToolSet::Command2_MouseUp() {
    toolPalette_->Hide();
}

void ToolSet::Command2_MouseMove() {
    colorPalette_->Hide();
}

void ToolSet::Command3_MouseDown() {
    form_.MoveFocusToDummy();
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
    // of it, is recycled.
    QImage previous = std::move(snapshot_);
    snapshot_ = form_.Picture2.Image();
    platform::PutPictureOnClipboard(snapshot_, platform::ClipboardUse::UndoSnapshot);
    spare_ = previous.isDetached() ? std::move(previous) : QImage();
}

void ToolSet::Picture2_MouseDown(int button, int shift, float x, float y) {
    (void)shift;
    form_.intUndoReady = 1;
    PutCanvasOnClipboard();
    // Timers and repaints run here; mouse and key input waits until this
    // press is set up, so a quick click's release can never overtake it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    if (form_.blnCropMode != kFalse) {
        crop_->Press(button, x, y);
        return;
    }
    if (button != kLeftButton) return;
    // Every tool but the hand draws: the canvas makes its pixels its own now,
    // while nothing is being drawn. Without the memory for that the press
    // does nothing and the picture stays as it is.
    if (form_.lngTool != kToolHand && !form_.Picture2.DetachImage(std::exchange(spare_, QImage()))) return;

    form_.blnDrawing = kTrue;
    form_.lngStartX = core::N(x);
    form_.lngStartY = core::N(y);
    PictureBox& canvas = form_.Picture2;
    canvas.DrawStyle = 0;
    canvas.DrawWidth = 3;
    switch (form_.lngTool) {
        case kToolHand:
            hand_->Press(x, y);
            break;
        case kToolHighlighter:
            highlighter_->Press(x, y);
            break;
        case kToolText:
            text_->Press(x, y);
            break;
        case kToolEraser:
            eraser_->Press(x, y);
            break;
        case kToolEllipse:
        case kToolArrow:
            shapes_->Press(form_.lngTool, x, y);
            break;
        default:
            break;
    }
}

void ToolSet::Picture2_MouseMove(int button, int shift, float x, float y) {
    if (form_.blnCropDrag != kFalse) {
        crop_->Move(x, y);
        return;
    }
    if (button != kLeftButton || form_.blnDrawing == kFalse) return;
    switch (form_.lngTool) {
        case kToolHand:
            hand_->Move(x, y);
            break;
        case kToolHighlighter:
            highlighter_->Move(x, y);
            break;
        case kToolEllipse:
        case kToolArrow:
            shapes_->Move(form_.lngTool, shift, x, y);
            break;
        case kToolEraser:
            eraser_->Move(x, y);
            break;
        default:
            break;
    }
}

void ToolSet::Picture2_MouseUp(int button, int shift, float x, float y) {
    HidePopups();
    if (form_.blnCropMode != kFalse) {
        crop_->Release();
        return;
    }
    if (button != kLeftButton || form_.blnDrawing == kFalse) return;
    form_.lngEndX = core::N(x);
    form_.lngEndY = core::N(y);
    switch (form_.lngTool) {
        case kToolHand:
            hand_->Release();
            break;
        case kToolEllipse:
        case kToolArrow:
            shapes_->Commit(form_.lngTool, shift, x, y);
            break;
        default:
            break;
    }
    form_.blnDrawing = kFalse;
}

std::unique_ptr<ToolSet> CreateToolSet(frmCapture& form) {
    return std::make_unique<ToolSet>(form);
}

}  // namespace tools
