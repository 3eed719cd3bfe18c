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

const char* const kToolTips[6] = {"Hand", "Marker", "Kreis", "Pfeil", "Text", "Radierer"};

}  // namespace

ToolPalette::ToolPalette(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
                         const ToolList& tools, std::function<void()> leavingTool,
                         std::function<void(bool)> showSizePanel)
    : state_(state),
      host_(host),
      toolsButton_(controls.toolsButton),
      view_(controls.canvas),
      panel_(controls.viewPanel),
      tools_(tools),
      leavingTool_(std::move(leavingTool)),
      showSizePanel_(std::move(showSizePanel)) {
    picTools.setParent(&controls.window);
    picTools.setGeometry(173, 25, 26, 150);
    picTools.setAccessibleName(QStringLiteral("Werkzeugauswahl"));
    picTools.setAutoFillBackground(true);
    QPalette colours = picTools.palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    picTools.setPalette(colours);
    picTools.hide();

    const ToolArt& art = Art();
    for (int i = 0; i < 6; ++i) {
        QToolButton& button = btnTools[static_cast<std::size_t>(i)];
        button.setParent(&picTools);
        button.setGeometry(0, 25 * i, 26, 25);
        button.setToolTip(QString::fromLatin1(kToolTips[i]));
        button.setAccessibleName(QString::fromLatin1(kToolTips[i]));
        button.setCheckable(true);
        button.setAutoExclusive(true);
        button.setAutoRaise(false);
        button.setFocusPolicy(Qt::StrongFocus);
        SetButtonPicture(button, art.btnToolsPicture[static_cast<std::size_t>(i)]);
        button.setMouseTracking(true);
        button.installEventFilter(this);
        connect(&button, &QToolButton::clicked, this, [this, i] { btnTools_Click(i); });
    }
    // Where the keyboard is shows on every button of the pop-up.
    picTools.setStyleSheet(
        QStringLiteral("QToolButton:focus { border: 2px solid #1c5fd0; border-radius: 2px; }"));
    NameToolsButton();
}

void ToolPalette::NameToolsButton() {
    // A screen reader says which tool is chosen.
    const int i = state_.CurrentTool();
    toolsButton_.setAccessibleName(i >= 0 && i < 6
                                       ? QStringLiteral("Werkzeuge: ") + QString::fromLatin1(kToolTips[i])
                                       : QStringLiteral("Werkzeuge"));
}

void ToolPalette::ShowForKeyboard(QWidget& returnTo) {
    returnTo_ = &returnTo;
    Show();
    const int current = std::clamp(state_.CurrentTool(), 0, 5);
    btnTools[static_cast<std::size_t>(current)].setFocus(Qt::TabFocusReason);
}

bool ToolPalette::ButtonKey(int i, const QKeyEvent& key) {
    const auto focus = [this](int item) {
        btnTools[static_cast<std::size_t>(item)].setFocus(Qt::TabFocusReason);
    };
    const auto choose = [this, i] {
        // As a slide onto the button and a release over it.
        ChooseTool(i);
        GiveKeyboardBack();
        if (showSizePanel_) showSizePanel_(state_.CurrentTool() == kToolText);
    };
    return HandlePopupKey(i, 6, key, focus, choose, [this] { GiveKeyboardBack(); });
}

void ToolPalette::GiveKeyboardBack() {
    Hide();
    if (returnTo_ != nullptr) returnTo_->setFocus(Qt::OtherFocusReason);
}

ToolPalette::~ToolPalette() {
    for (QToolButton& button : btnTools) button.removeEventFilter(this);
}

int ToolPalette::IndexOf(const QObject* button) const {
    for (int i = 0; i < 6; ++i) {
        if (button == &btnTools[static_cast<std::size_t>(i)]) return i;
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
        btnTools_MouseUp(i);
        return true;
    }
    return false;
}

void ToolPalette::Show() {
    picTools.raise();
    picTools.show();
}

void ToolPalette::Hide() {
    picTools.hide();
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
    MirrorCanvasPointer(view_, panel_);
    NameToolsButton();
}

void ToolPalette::btnTools_MouseUp(int /*i*/) {
    Hide();
    if (showSizePanel_) showSizePanel_(state_.CurrentTool() == kToolText);
}

void ToolPalette::btnTools_Click(int /*i*/) {
    host_.MoveFocusToDummy();
}

}  // namespace tools
