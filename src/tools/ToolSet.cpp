#include "tools/ToolSet.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QToolButton>
#include <functional>
#include <utility>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "tools/ColorPalette.h"
#include "tools/CropTool.h"
#include "tools/PressSlideRelease.h"
#include "tools/StrokeProtocol.h"
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

ToolSet::ToolSet(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
                 ToolCatalogue catalogue)
    : host_(host) {
    canvas::CanvasView& view = controls.canvas;
    const ToolParts parts{state.Canvas(), [&state] { return state.CurrentColor(); }, host, controls};
    // The crop frame lines go onto the canvas before the tools' widgets (the
    // text box).
    crop_ = std::make_unique<CropTool>(
        state.Canvas(), host, view, controls.viewPanel, controls.cropButton,
        [this, &state, &view] { ApplyToolPointer(view, state.ColorIndex(), strokes_->Current()); });
    tools_.reserve(catalogue.size());
    for (const ToolEntry& entry : catalogue) tools_.push_back(entry.make(parts));
    strokes_ = std::make_unique<StrokeProtocol>(state, host, tools_);
    strokes_->SetOneShot(crop_.get());
    strokes_->SetReleaseStart([this] { HidePopups(); });
    // Leaving a tool finishes what it holds (the text box's text).
    toolPalette_ = std::make_unique<ToolPalette>(state, host, controls, catalogue, tools_, [this] {
        if (PaletteTool* tool = strokes_->Current()) tool->Commit();
    });
    colorPalette_ = std::make_unique<ColorPalette>(state, controls, tools_);

    // Moves and the release of a slide reach the pop-up fields, the two pop-up
    // buttons and the bare tool bar strip, as a hover would.
    QWidget* const toolsButton = &controls.toolsButton;
    QWidget* const colorsButton = &controls.colorsButton;
    QWidget* const strip = &controls.toolbarStrip;
    auto acceptsTarget = [this, toolsButton, colorsButton, strip](QWidget* target) {
        if (toolPalette_->Holds(target) || colorPalette_->Holds(target)) return true;
        return target == toolsButton || target == colorsButton || target == strip;
    };
    // A slide that ends on the canvas closes the panels as any canvas release
    // does; it never runs a stroke or crop release without a canvas press.
    canvas::CanvasView* const canvasView = &view;
    auto releasedElsewhere = [this, canvasView](QWidget* target) {
        if (target != nullptr && (target == canvasView || canvasView->isAncestorOf(target))) HidePopups();
    };
    toolsSlide_ = std::make_unique<PressSlideRelease>(
        controls.toolsButton, controls.window,
        PressSlideRelease::Handlers{[this] { ToolsButtonPress(); }, [this] { ToolsButtonMove(); },
                                    [this] { ToolsButtonRelease(); }, acceptsTarget, releasedElsewhere});
    colorsSlide_ = std::make_unique<PressSlideRelease>(
        controls.colorsButton, controls.window,
        PressSlideRelease::Handlers{[this] { ColorsButtonPress(); }, [this] { ColorsButtonMove(); },
                                    [this] { ColorsButtonRelease(); }, acceptsTarget, releasedElsewhere});

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
    QObject::connect(&view, &canvas::CanvasView::mouseDown, toolPalette_.get(),
                     [this](int button, int shift, float x, float y) { CanvasPress(button, shift, x, y); });
    QObject::connect(&view, &canvas::CanvasView::mouseMove, toolPalette_.get(),
                     [this](int button, int shift, float x, float y) { CanvasMove(button, shift, x, y); });
    QObject::connect(&view, &canvas::CanvasView::mouseUp, toolPalette_.get(),
                     [this](int button, int shift, float x, float y) { CanvasRelease(button, shift, x, y); });
    QObject::connect(&controls.viewPanel, &canvas::ViewPanel::released, toolPalette_.get(),
                     [this] { strokes_->PressHandled(); });
    // The panel takes no focus, so a press there would leave an open text
    // box open; like a click into any other control, it ends the text.
    QObject::connect(&controls.viewPanel, &canvas::ViewPanel::pressed, toolPalette_.get(), [this] {
        for (const auto& tool : tools_) tool->Commit();
    });

    // At start: the current tool, its picture on the tools button and its pointer.
    if (const PaletteTool* tool = strokes_->Current())
        SetButtonPicture(controls.toolsButton, tool->Look(tool->ChosenVariant()));
    ApplyToolPointer(view, state.ColorIndex(), strokes_->Current());
    MirrorCanvasPointer(view, controls.viewPanel);
}

ToolSet::~ToolSet() = default;

// --- pop-up buttons ---------------------------------------------------------------

void ToolSet::ToolsButtonPress() {
    host_.MoveFocusToDummy();
    toolPalette_->Show();
}

void ToolSet::ToolsButtonRelease() {
    toolPalette_->Hide();
}

void ToolSet::ToolsButtonMove() {
    colorPalette_->Hide();
}

void ToolSet::ColorsButtonPress() {
    host_.MoveFocusToDummy();
    colorPalette_->Show();
    toolPalette_->Hide();
}

void ToolSet::ColorsButtonRelease() {
    colorPalette_->Hide();
}

void ToolSet::ColorsButtonMove() {
    toolPalette_->Hide();
}

void ToolSet::HidePopups() {
    colorPalette_->Hide();
    toolPalette_->Hide();
}

// --- canvas -----------------------------------------------------------------------

void ToolSet::CanvasPress(int button, int shift, float x, float y) {
    strokes_->Press(ToolEvent{button, shift, x, y});
}

void ToolSet::CanvasMove(int button, int shift, float x, float y) {
    strokes_->Move(ToolEvent{button, shift, x, y});
}

void ToolSet::CanvasRelease(int button, int shift, float x, float y) {
    strokes_->Release(ToolEvent{button, shift, x, y});
}

void ToolSet::CancelStroke() {
    strokes_->Cancel();
}

}  // namespace tools
