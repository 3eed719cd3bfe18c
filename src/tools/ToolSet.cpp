#include "tools/ToolSet.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <functional>
#include <utility>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "core/Rounding.h"
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

namespace tools {

namespace {

// Opens a pop-up when its button has the keyboard and Space, Enter or Down
// is pressed (the button's own Space would click it).
class PopupOpenKeys : public QObject {
  public:
    PopupOpenKeys(std::function<void()> openTools, std::function<void()> openColors, QWidget* toolsButton,
                  QWidget* colorsButton)
        : openTools_(std::move(openTools)),
          openColors_(std::move(openColors)),
          toolsButton_(toolsButton),
          colorsButton_(colorsButton) {
        toolsButton_->installEventFilter(this);
        colorsButton_->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.modifiers() != Qt::NoModifier && key.modifiers() != Qt::KeypadModifier) return false;
        switch (key.key()) {
            case Qt::Key_Space:
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Down:
                break;
            default:
                return false;
        }
        if (watched == toolsButton_) openTools_();
        if (watched == colorsButton_) openColors_();
        return true;
    }

  private:
    std::function<void()> openTools_;
    std::function<void()> openColors_;
    QWidget* toolsButton_;
    QWidget* colorsButton_;
};

}  // namespace

namespace {

constexpr int kLeftButton = 1;
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

}  // namespace

ToolSet::ToolSet(canvas::EditorState& state, ToolHost& host, const ToolControls& controls)
    : state_(state), host_(host) {
    canvas::CanvasView& view = controls.canvas;
    // The crop frame lines go onto the canvas before the text box.
    tools_[kToolHighlighter] = std::make_unique<HighlighterTool>(state);
    tools_[kToolEraser] = std::make_unique<EraserTool>(state);
    auto hand =
        std::make_unique<HandTool>(state, host, view, controls.horizontalScroll, controls.verticalScroll);
    hand_ = hand.get();
    tools_[kToolHand] = std::move(hand);
    crop_ = std::make_unique<CropTool>(state, host, view, controls.viewPanel, controls.cropButton, tools_);
    auto text = std::make_unique<TextTool>(state, view, controls.viewPanel, controls.window);
    text_ = text.get();
    tools_[kToolText] = std::move(text);
    tools_[kToolEllipse] = std::make_unique<ShapeTool>(state, ShapeTool::Shape::Ellipse);
    tools_[kToolArrow] = std::make_unique<ShapeTool>(state, ShapeTool::Shape::Arrow);
    // Leaving a tool finishes what it holds (the text box's text).
    toolPalette_ = std::make_unique<ToolPalette>(
        state, host, controls, tools_,
        [this] {
            if (PaletteTool* tool = Current()) tool->Commit();
        },
        [this](bool visible) { text_->SetSizePanelVisible(visible); });
    colorPalette_ = std::make_unique<ColorPalette>(state, controls, tools_);

    // Moves and the release of a slide reach the pop-up fields, the two pop-up
    // buttons and the bare tool bar strip, as a hover would.
    QWidget* const toolsButton = &controls.toolsButton;
    QWidget* const colorsButton = &controls.colorsButton;
    QWidget* const strip = &controls.toolbarStrip;
    auto acceptsTarget = [this, toolsButton, colorsButton, strip](QWidget* target) {
        if (target == &toolPalette_->picTools || target == &colorPalette_->Picture5) return true;
        if (target->parentWidget() == &toolPalette_->picTools) return true;
        if (target->parentWidget() == &colorPalette_->Picture5) return true;
        return target == toolsButton || target == colorsButton || target == strip;
    };
    // A slide that ends on the canvas closes the panels as any canvas release
    // does; it never runs a stroke or crop release without a canvas press.
    canvas::CanvasView* const canvasView = &view;
    auto releasedElsewhere = [this, canvasView](QWidget* target) {
        if (target != nullptr && (target == canvasView || canvasView->isAncestorOf(target))) HidePopups();
    };
    command2Slide_ = std::make_unique<PressSlideRelease>(
        controls.toolsButton, controls.window,
        PressSlideRelease::Handlers{[this] { Command2_MouseDown(); }, [this] { Command2_MouseMove(); },
                                    [this] { Command2_MouseUp(); }, acceptsTarget, releasedElsewhere});
    command3Slide_ = std::make_unique<PressSlideRelease>(
        controls.colorsButton, controls.window,
        PressSlideRelease::Handlers{[this] { Command3_MouseDown(); }, [this] { Command3_MouseMove(); },
                                    [this] { Command3_MouseUp(); }, acceptsTarget, releasedElsewhere});

    // The keyboard's way into the pop-ups.
    popupKeys_ = std::make_unique<PopupOpenKeys>(
        [this, toolsButton] {
            colorPalette_->Hide();
            toolPalette_->ShowForKeyboard(*toolsButton);
        },
        [this, colorsButton] {
            toolPalette_->Hide();
            colorPalette_->ShowForKeyboard(*colorsButton);
        },
        toolsButton, colorsButton);

    // The canvas's mouse, and releases on the panel around it.
    QObject::connect(
        &view, &canvas::CanvasView::mouseDown, toolPalette_.get(),
        [this](int button, int shift, float x, float y) { Picture2_MouseDown(button, shift, x, y); });
    QObject::connect(
        &view, &canvas::CanvasView::mouseMove, toolPalette_.get(),
        [this](int button, int shift, float x, float y) { Picture2_MouseMove(button, shift, x, y); });
    QObject::connect(
        &view, &canvas::CanvasView::mouseUp, toolPalette_.get(),
        [this](int button, int shift, float x, float y) { Picture2_MouseUp(button, shift, x, y); });
    QObject::connect(&controls.viewPanel, &canvas::ViewPanel::released, toolPalette_.get(),
                     [this] { AfterPress(); });
    // The panel takes no focus, so a press there would leave an open text
    // box open; like a click into any other control, it ends the text.
    QObject::connect(&controls.viewPanel, &canvas::ViewPanel::pressed, toolPalette_.get(),
                     [this] { text_->Commit(); });

    // At start: the current tool, its picture on the tools button and its pointer.
    SetButtonPicture(controls.toolsButton, Art().btnToolsPicture[0]);
    ApplyToolPointer(view, state_.ColorIndex(), Current());
    MirrorCanvasPointer(view, controls.viewPanel);
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
    // The snapshot is a version of the canvas: putting it on the clipboard
    // copies nothing, the stroke that follows keeps only the tiles it
    // overwrites, and nothing is encoded unless another program reads it.
    state_.Clipboard().Put(state_.Canvas().TakeVersion(), platform::ClipboardUse::UndoSnapshot);
}

PaletteTool* ToolSet::Current() const {
    return ToolAt(tools_, state_.CurrentTool());
}

void ToolSet::AfterPress() {
    text_->ResolvePressFocusLoss();
}

void ToolSet::Picture2_MouseDown(int button, int shift, float x, float y) {
    state_.SetUndoReady(1);
    PutCanvasOnClipboard();
    // Timers and repaints run here; mouse and key input waits until this
    // press is set up, so a quick click's release can never overtake it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const ToolEvent event{button, shift, x, y};
    if (crop_->Armed() != kFalse) {
        crop_->Press(event);
        return;
    }
    if (button != kLeftButton) return;

    canvas::StrokeState& stroke = state_.Stroke();
    stroke.blnDrawing = kTrue;
    stroke.lngStartX = core::N(x);
    stroke.lngStartY = core::N(y);
    canvas::PenState pen = state_.Canvas().Pen();
    pen.DrawStyle = 0;
    pen.DrawWidth = 3;
    state_.Canvas().SetPen(pen);
    if (PaletteTool* tool = Current()) tool->Press(event);
}

void ToolSet::Picture2_MouseMove(int button, int shift, float x, float y) {
    const ToolEvent event{button, shift, x, y};
    if (crop_->Dragging() != kFalse) {
        crop_->Move(event);
        return;
    }
    if (button != kLeftButton || state_.Stroke().blnDrawing == kFalse) return;
    if (PaletteTool* tool = Current()) tool->Move(event);
}

void ToolSet::Picture2_MouseUp(int button, int shift, float x, float y) {
    HidePopups();
    AfterPress();
    const ToolEvent event{button, shift, x, y};
    if (crop_->Armed() != kFalse) {
        crop_->Release(event);
        return;
    }
    canvas::StrokeState& stroke = state_.Stroke();
    if (button != kLeftButton || stroke.blnDrawing == kFalse) return;
    stroke.lngEndX = core::N(x);
    stroke.lngEndY = core::N(y);
    if (PaletteTool* tool = Current()) tool->Release(event);
    stroke.blnDrawing = kFalse;
}

void ToolSet::CancelStroke() {
    if (crop_->Dragging() != kFalse) crop_->Cancel();
    canvas::StrokeState& stroke = state_.Stroke();
    if (stroke.blnDrawing == kFalse) return;
    if (PaletteTool* tool = Current()) tool->Cancel();
    stroke.blnDrawing = kFalse;
}

}  // namespace tools
