#include "tools/ToolPalette.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "tools/PopupKeys.h"
#include "tools/Tool.h"
#include "tools/ToolHost.h"
#include "tools/ToolPointer.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

constexpr int kButtonWidth = 26;
constexpr int kButtonHeight = 25;

}  // namespace

ToolPalette::ToolPalette(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
                         ToolCatalogue catalogue, const ToolList& tools, std::function<void()> leavingTool)
    : state_(state),
      host_(host),
      toolsButton_(controls.toolsButton),
      view_(controls.canvas),
      viewPanel_(controls.viewPanel),
      catalogue_(catalogue),
      tools_(tools),
      leavingTool_(std::move(leavingTool)) {
    const int count = static_cast<int>(catalogue_.size());
    panel_.setParent(&controls.window);
    panel_.setGeometry(173, 25, kButtonWidth, kButtonHeight * count);
    panel_.setAccessibleName(QStringLiteral("Werkzeugauswahl"));
    panel_.setAutoFillBackground(true);
    QPalette colours = panel_.palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    panel_.setPalette(colours);
    panel_.hide();

    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto& button = *buttons_.emplace_back(std::make_unique<QToolButton>(&panel_));
        const QString name = QString::fromLatin1(catalogue_[index].name);
        button.setGeometry(0, kButtonHeight * i, kButtonWidth, kButtonHeight);
        button.setToolTip(name);
        button.setAccessibleName(name);
        button.setCheckable(true);
        button.setAutoExclusive(true);
        button.setAutoRaise(false);
        button.setFocusPolicy(Qt::StrongFocus);
        if (const PaletteTool* tool = ToolAt(tools_, i))
            SetButtonPicture(button, tool->Look(tool->ChosenVariant()));
        button.setMouseTracking(true);
        button.installEventFilter(this);
        connect(&button, &QToolButton::clicked, this, [this] { ToolClicked(); });
    }
    // Where the keyboard is shows on every button of the pop-up.
    panel_.setStyleSheet(
        QStringLiteral("QToolButton:focus { border: 2px solid #1c5fd0; border-radius: 2px; }"));
    NameToolsButton();
}

ToolPalette::~ToolPalette() {
    for (const auto& button : buttons_) button->removeEventFilter(this);
}

void ToolPalette::NameToolsButton() {
    // A screen reader says which tool is chosen.
    const int i = state_.CurrentTool();
    toolsButton_.setAccessibleName(i >= 0 && i < Count()
                                       ? QStringLiteral("Werkzeuge: ") +
                                             QString::fromLatin1(catalogue_[static_cast<std::size_t>(i)].name)
                                       : QStringLiteral("Werkzeuge"));
}

void ToolPalette::ShowForKeyboard(QWidget& returnTo) {
    returnTo_ = &returnTo;
    Show();
    const int current = std::clamp(state_.CurrentTool(), 0, Count() - 1);
    Button(current).setFocus(Qt::TabFocusReason);
}

bool ToolPalette::Holds(const QWidget* widget) const {
    return widget == &panel_ || (widget != nullptr && widget->parentWidget() == &panel_);
}

bool ToolPalette::ButtonKey(int i, const QKeyEvent& key) {
    const auto focus = [this](int item) { Button(item).setFocus(Qt::TabFocusReason); };
    const auto choose = [this, i] {
        // As a slide onto the button and a release over it.
        ChooseTool(i);
        GiveKeyboardBack();
        ShowOptionsOfCurrent();
    };
    return HandlePopupKey(i, Count(), key, focus, choose, [this] { GiveKeyboardBack(); });
}

void ToolPalette::GiveKeyboardBack() {
    Hide();
    if (returnTo_ != nullptr) returnTo_->setFocus(Qt::OtherFocusReason);
}

int ToolPalette::IndexOf(const QObject* button) const {
    for (int i = 0; i < Count(); ++i) {
        if (button == &Button(i)) return i;
    }
    return -1;
}

bool ToolPalette::eventFilter(QObject* watched, QEvent* event) {
    const int i = IndexOf(watched);
    if (i < 0) return false;
    if (event->type() == QEvent::MouseMove) {
        ChooseTool(i);
        return false;
    }
    if (event->type() == QEvent::KeyPress) return ButtonKey(i, static_cast<const QKeyEvent&>(*event));
    if (event->type() == QEvent::MouseButtonRelease) {
        // The button finishes its own click first (hiding the panel before
        // would cancel it), then the release closes the panel.
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        ToolReleased();
        return true;
    }
    return false;
}

void ToolPalette::Show() {
    panel_.raise();
    panel_.show();
}

void ToolPalette::Hide() {
    panel_.hide();
}

void ToolPalette::ChooseTool(int i) {
    if (leavingTool_) leavingTool_();
    state_.SetCurrentTool(i);
    const PaletteTool* tool = ToolAt(tools_, i);
    const int c = state_.ColorIndex();
    if (tool != nullptr) {
        // Black and white stay; any other colour field gives way to the
        // tool's own colour.
        if (c != 4 && c != 5) state_.SetCurrentColor(tool->ChosenColor());
        SetButtonPicture(toolsButton_, tool->Look(ChosenToolVariant(*tool, c)));
    }
    ApplyToolPointer(view_, c, tool);
    MirrorCanvasPointer(view_, viewPanel_);
    NameToolsButton();
}

void ToolPalette::ShowOptionsOfCurrent() {
    const int current = state_.CurrentTool();
    for (int i = 0; i < static_cast<int>(tools_.size()); ++i) {
        PaletteTool* tool = ToolAt(tools_, i);
        if (tool != nullptr && i != current) tool->ShowOptions(false);
    }
    if (PaletteTool* tool = ToolAt(tools_, current)) tool->ShowOptions(true);
}

void ToolPalette::ToolReleased() {
    Hide();
    ShowOptionsOfCurrent();
}

void ToolPalette::ToolClicked() {
    host_.MoveFocusToDummy();
}

}  // namespace tools
