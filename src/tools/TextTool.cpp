#include "tools/TextTool.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "canvas/CanvasSurface.h"
#include "canvas/CanvasView.h"
#include "core/Rounding.h"
#include "tools/ToolCatalogue.h"
#include "tools/ToolHost.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyOther = 0;
constexpr std::array<int, 3> kSizes{10, 12, 14};
const QString kMoving = QStringLiteral("moving");

QFont ArialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// The measuring font: MS Sans Serif 9.75 points bold where it exists. Its
// bitmap letters are about as wide as Arial's bold ones at 12 points; an
// outline substitute at 9.75 points comes out nearly a quarter narrower, and
// the box would scroll the first letters of size-12 text out of view while
// it is typed. The substitute is an Arial-wide bold sans at 12 points: the
// box then fits its text at 12, is wider than it at 10 and, for all but the
// shortest texts, narrower at 14.
QFont MeasuringFont() {
    const QString designFamily = QStringLiteral("MS Sans Serif");
    QFont design(designFamily);
    design.setPointSizeF(9.75);
    design.setBold(true);
    if (QFontInfo(design).family().compare(designFamily, Qt::CaseInsensitive) == 0) return design;
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

int KeyCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyEnter;
        case Qt::Key_Escape:
            return kKeyEscape;
        default:
            return kKeyOther;
    }
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

// Routes the events of the box, the size options and the size panel to the
// tool's handlers.
class TextTool::Events : public QObject {
  public:
    explicit Events(TextTool& tool) : tool_(tool) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (tool_.closing_) return false;
        if (watched == &tool_.txtText) return BoxEvent(*event);
        if (watched == &tool_.frmSize) return PanelEvent(*event);
        for (std::size_t i = 0; i < tool_.optSize.size(); ++i) {
            if (watched == &tool_.optSize[i] && event->type() == QEvent::MouseButtonPress) {
                tool_.optSize_MouseDown(static_cast<int>(i));
            }
        }
        return false;
    }

  private:
    bool BoxEvent(QEvent& event) {
        switch (event.type()) {
            case QEvent::KeyPress: {
                auto& key = static_cast<QKeyEvent&>(event);
                tool_.txtText_KeyDown(KeyCodeOf(key));
                // Enter never reaches the box (no line break, no signal).
                return KeyCodeOf(key) == kKeyEnter || KeyCodeOf(key) == kKeyEscape;
            }
            case QEvent::KeyRelease: {
                auto& key = static_cast<QKeyEvent&>(event);
                // A held key repeats its key-down only; its key-up comes once.
                if (!key.isAutoRepeat()) tool_.txtText_KeyUp(KeyCodeOf(key), ShiftOf(key.modifiers()));
                return true;
            }
            case QEvent::MouseButtonDblClick:
                tool_.txtText_DblClick();
                return true;
            case QEvent::FocusOut: {
                const auto reason = static_cast<QFocusEvent&>(event).reason();
                // Another window becoming active or the box's own context menu
                // does not end the text.
                if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
                if (reason == Qt::MouseFocusReason && tool_.FocusWentToCanvas()) {
                    // The view took the focus for a press that has not been
                    // handled yet. If it is a text press, it moves the box with
                    // its text; otherwise the focus loss counts at the release.
                    tool_.pressFocusLossPending_ = true;
                    return false;
                }
                tool_.txtText_LostFocus();
                return false;
            }
            default:
                return false;
        }
    }

    bool PanelEvent(QEvent& event) {
        if (event.type() == QEvent::MouseButtonPress) {
            tool_.frmSize_MouseDown(static_cast<QMouseEvent&>(event).position().toPoint());
        } else if (event.type() == QEvent::MouseMove) {
            const auto& mouse = static_cast<QMouseEvent&>(event);
            tool_.frmSize_MouseMove(mouse.buttons(), mouse.position().toPoint());
        }
        return false;
    }

    TextTool& tool_;
};

ToolEntry TextTool::Entry() {
    return {kId, "Text", [](const ToolParts& parts) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<TextTool>(parts.canvas, parts.currentColor, parts.controls.canvas,
                                                  parts.controls.viewPanel, parts.controls.window);
            }};
}

TextTool::TextTool(canvas::CanvasSurface& canvas, std::function<COLORREF()> currentColor,
                   canvas::CanvasView& view, canvas::ViewPanel& panel, QWidget& window)
    : canvas_(canvas),
      currentColor_(std::move(currentColor)),
      view_(view),
      panel_(panel),
      events_(std::make_unique<Events>(*this)) {
    // The box and the measuring label live on the canvas, in canvas pixels.
    txtText.setParent(&view_);
    txtText.setObjectName(QStringLiteral("txtText"));
    txtText.hide();
    txtText.setFrame(false);
    txtText.setTextMargins(0, 0, 0, 0);
    txtText.setContentsMargins(0, 0, 0, 0);
    txtText.setAutoFillBackground(true);
    QPalette palette = txtText.palette();
    palette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    txtText.setPalette(palette);
    txtText.setGeometry(0, 0, 8, 20);
    txtText.installEventFilter(events_.get());

    lblTextSize.setParent(&view_);
    lblTextSize.setObjectName(QStringLiteral("lblTextSize"));
    lblTextSize.hide();
    lblTextSize.setMargin(0);
    lblTextSize.setIndent(0);
    ApplyBoxFonts();

    QFont font = canvas_.Font();
    font.setPointSizeF(textSize_);
    canvas_.SetFont(font);

    frmSize.setParent(&window);
    frmSize.setObjectName(QStringLiteral("frmSize"));
    frmSize.setTitle(QStringLiteral("Textgröße:"));
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPointSizeF(9);
    frmSize.setFont(panelFont);
    frmSize.setGeometry(40, 68, 73, 97);
    frmSize.setAutoFillBackground(true);  // a frame hides the picture under it
    frmSize.hide();
    frmSize.installEventFilter(events_.get());

    struct Option {
        const char* caption;
        double fontPoints;
        QRect geometry;  // pixels inside frmSize
    };
    const std::array<Option, 3> options{{{"10", 9.75, QRect(14, 20, 43, 21)},
                                         {"12", 12.0, QRect(14, 42, 47, 21)},
                                         {"14", 14.25, QRect(14, 64, 49, 22)}}};
    for (std::size_t i = 0; i < optSize.size(); ++i) {
        QRadioButton& option = optSize[i];
        option.setParent(&frmSize);
        option.setObjectName(QStringLiteral("optSize%1").arg(i));
        option.setText(QString::fromLatin1(options[i].caption));
        option.setFont(ArialBold(options[i].fontPoints));
        option.setGeometry(options[i].geometry);
        option.setFocusPolicy(Qt::NoFocus);
        option.installEventFilter(events_.get());
        // Keyboard and programmatic selection set the size as a press does.
        QObject::connect(&option, &QRadioButton::toggled, events_.get(), [this, i](bool checked) {
            if (checked) SetTextSize(static_cast<int>(i));
        });
    }
    optSize[1].setChecked(true);
}

TextTool::~TextTool() {
    // The widgets go before the window does; their last focus events must not
    // draw into a canvas that is being torn down.
    closing_ = true;
    txtText.removeEventFilter(events_.get());
    frmSize.removeEventFilter(events_.get());
    for (auto& option : optSize) option.removeEventFilter(events_.get());
}

void TextTool::Press(Stroke& /*stroke*/, const ToolEvent& event) {
    const QPoint at(core::N(event.x), core::N(event.y));
    if (txtText.isHidden()) {
        QPalette palette = txtText.palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        txtText.setPalette(palette);
        PlaceBox(at);
        txtText.clear();
        txtText.resize(8, 20);
        txtText.show();
        txtText.raise();
        txtText.setFocus(Qt::OtherFocusReason);
        return;
    }
    // An open box moves with its text. A focus loss this press caused is not
    // a commit.
    txtTextTag = kMoving;
    pressFocusLossPending_ = false;
    PlaceBox(at);
    txtText.setFocus(Qt::OtherFocusReason);
    txtTextTag.clear();
}

void TextTool::ShowOptions(bool visible) {
    frmSize.setVisible(visible);
    if (visible) frmSize.raise();
}

void TextTool::txtText_KeyDown(int /*keyCode*/) {
    SizeBoxToText(QStringLiteral("M"));
}

void TextTool::txtText_KeyUp(int keyCode, int /*shift*/) {
    if (keyCode == kKeyEnter) {
        txtText_DblClick();
    } else if (keyCode == kKeyEscape) {
        HideBox();
    } else {
        SizeBoxToText(QStringLiteral("O"));
    }
    if (txtText.isHidden()) GiveFocusToCanvas();
}

void TextTool::Commit() {
    if (!txtText.isHidden()) txtText_DblClick();
}

void TextTool::txtText_DblClick() {
    if (committing_) return;
    canvas::CanvasSurface& canvas = canvas_;
    canvas.SetCurrentPosition(QPointF(boxAt_));
    canvas::PenState pen = canvas.Pen();
    pen.ForeColor = currentColor_();
    canvas.SetPen(pen);
    canvas.Print(txtText.text());
    HideBox();
}

void TextTool::txtText_LostFocus() {
    if (committing_) return;
    if (!txtText.isHidden() && txtTextTag != kMoving) {
        // Commit; the focus stays where it went.
        txtText_DblClick();
    }
    txtTextTag.clear();
}

void TextTool::optSize_MouseDown(int index) {
    if (index < 0 || index >= static_cast<int>(optSize.size())) return;
    optSize[static_cast<std::size_t>(index)].setChecked(true);
    SetTextSize(index);
}

void TextTool::frmSize_MouseDown(QPoint pos) {
    dragOrigin_ = pos;
    hasDragOrigin_ = true;
}

void TextTool::frmSize_MouseMove(Qt::MouseButtons buttons, QPoint pos) {
    if (buttons != Qt::LeftButton || !hasDragOrigin_) return;
    frmSize.move(frmSize.pos() + (pos - dragOrigin_));
}

std::optional<QCursor> TextTool::Pointer(int /*variant*/) const {
    return Art().picText;
}

const QPixmap& TextTool::Look(int variant) const {
    return Art().piciText[static_cast<std::size_t>(variant)];
}

void TextTool::SizeBoxToText(const QString& margin) {
    lblTextSize.setText(txtText.text() + margin);
    lblTextSize.adjustSize();
    txtText.resize(lblTextSize.size());
}

void TextTool::SetTextSize(int index) {
    textSize_ = kSizes[static_cast<std::size_t>(index)];
    QFont font = canvas_.Font();
    font.setPointSizeF(textSize_);
    canvas_.SetFont(font);
    ApplyBoxFonts();
}

void TextTool::PlaceBox(QPoint at) {
    boxAt_ = at;
    txtText.move(view_.PictureToWidget(QPointF(at)).toPoint());
}

void TextTool::ApplyBoxFonts() {
    // Text drawn into the picture is measured in picture pixels; on a scaled
    // desktop a widget pixel holds more than one of them.
    const double ratio = view_.PixelRatio();
    txtText.setFont(ArialBold(textSize_ / ratio));
    QFont measuring = MeasuringFont();
    measuring.setPointSizeF(measuring.pointSizeF() / ratio);
    lblTextSize.setFont(measuring);
}

void TextTool::HideBox() {
    // The focus goes to the canvas before the box hides, so it does not pass
    // through whichever control comes next; that focus loss is not a commit.
    committing_ = true;
    if (txtText.hasFocus()) GiveFocusToCanvas();
    txtText.hide();
    committing_ = false;
}

void TextTool::GiveFocusToCanvas() {
    view_.setFocus(Qt::OtherFocusReason);
}

void TextTool::PressHandled() {
    if (!pressFocusLossPending_ || closing_) return;
    pressFocusLossPending_ = false;
    // No text press came with the focus change: the box lost the focus.
    if (!txtText.hasFocus()) txtText_LostFocus();
}

bool TextTool::FocusWentToCanvas() const {
    // Qt moves the focus before it delivers the press that caused it. The
    // canvas or the view panel around it taking the focus this way means a
    // canvas press is on its way.
    const QWidget* focus = QApplication::focusWidget();
    return focus == &view_ || focus == &panel_;
}

}  // namespace tools
