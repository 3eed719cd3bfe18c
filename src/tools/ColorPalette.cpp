#include "tools/ColorPalette.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "tools/PopupKeys.h"
#include "tools/Tool.h"
#include "tools/ToolHost.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

// Tops of the fields inside the panel; the first one starts a pixel above it.
constexpr std::array<int, 6> kFieldTops{-1, 17, 35, 52, 70, 87};

}  // namespace

ColorPalette::ColorPalette(canvas::EditorState& state, const ToolControls& controls, const ToolList& tools)
    : state_(state), toolsButton_(controls.toolsButton), view_(controls.canvas), tools_(tools) {
    panel_.setParent(&controls.window);
    panel_.setGeometry(197, 25, 26, 105);
    panel_.setAccessibleName(QStringLiteral("Farbauswahl"));
    panel_.setAutoFillBackground(true);
    QPalette panelColours = panel_.palette();
    panelColours.setColor(QPalette::Window, panelColours.color(QPalette::Base));
    panel_.setPalette(panelColours);
    panel_.hide();

    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLabel& field = fields_[i];
        field.setParent(&panel_);
        field.setGeometry(0, kFieldTops[i], 26, 17);
        field.setFrameStyle(QFrame::Box | QFrame::Plain);
        field.setLineWidth(1);
        field.setAutoFillBackground(true);
        QPalette colours = field.palette();
        colours.setColor(QPalette::Window, ToQColor(kPaletteColors[i]));
        colours.setColor(QPalette::WindowText, QColor(0, 0, 0));
        field.setPalette(colours);
        field.setMouseTracking(true);
        field.setAccessibleName(QString::fromUtf8(kPaletteColorNames[i]));
        field.setFocusPolicy(Qt::StrongFocus);
        field.installEventFilter(this);
    }
}

ColorPalette::~ColorPalette() {
    for (QLabel& field : fields_) field.removeEventFilter(this);
}

int ColorPalette::IndexOf(const QObject* label) const {
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        if (label == &fields_[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

bool ColorPalette::eventFilter(QObject* watched, QEvent* event) {
    const int i = IndexOf(watched);
    if (i < 0) return false;
    if (event->type() == QEvent::MouseMove) {
        ChooseColor(i);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        FieldReleased(i);
    } else if (event->type() == QEvent::KeyPress) {
        return FieldKey(i, static_cast<const QKeyEvent&>(*event));
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        MarkFocus(i, event->type() == QEvent::FocusIn);
    }
    return false;
}

void ColorPalette::ShowForKeyboard(QWidget& returnTo) {
    returnTo_ = &returnTo;
    Show();
    const int current = std::clamp<int>(state_.ColorIndex(), 0, 5);
    fields_[static_cast<std::size_t>(current)].setFocus(Qt::TabFocusReason);
}

bool ColorPalette::Holds(const QWidget* widget) const {
    return widget == &panel_ || (widget != nullptr && widget->parentWidget() == &panel_);
}

bool ColorPalette::FieldKey(int i, const QKeyEvent& key) {
    const auto focus = [this](int item) {
        fields_[static_cast<std::size_t>(item)].setFocus(Qt::TabFocusReason);
    };
    const auto choose = [this, i] {
        ChooseColor(i);
        FieldReleased(i);
        GiveKeyboardBack();
    };
    return HandlePopupKey(i, static_cast<int>(fields_.size()), key, focus, choose,
                          [this] { GiveKeyboardBack(); });
}

void ColorPalette::GiveKeyboardBack() {
    Hide();
    if (returnTo_ != nullptr) returnTo_->setFocus(Qt::OtherFocusReason);
}

void ColorPalette::MarkFocus(int i, bool focused) {
    // A thick frame in the colour that stands out against the field.
    QLabel& field = fields_[static_cast<std::size_t>(i)];
    field.setLineWidth(focused ? 3 : 1);
    QPalette colours = field.palette();
    colours.setColor(QPalette::WindowText, focused && i == 4 ? QColor(255, 255, 255) : QColor(0, 0, 0));
    field.setPalette(colours);
}

void ColorPalette::Show() {
    panel_.raise();
    panel_.show();
}

void ColorPalette::Hide() {
    panel_.hide();
}

void ColorPalette::ChooseColor(int i) {
    if (i < 0 || i > 5) return;
    state_.SetCurrentColor(kPaletteColors[static_cast<std::size_t>(i)]);
    state_.SetColorIndex(static_cast<std::int16_t>(i));
    // The tools button and the pointer of a coloured tool take the colour.
    const PaletteTool* tool = ToolAt(tools_, state_.CurrentTool());
    if (tool == nullptr || !tool->FollowsColor()) return;
    const int v = VariantOfColorIndex(i);
    SetButtonPicture(toolsButton_, tool->Look(v));
    if (const auto pointer = tool->Pointer(v)) view_.SetMouseIcon(*pointer);
}

void ColorPalette::FieldReleased(int /*i*/) {
    Hide();
}

}  // namespace tools
