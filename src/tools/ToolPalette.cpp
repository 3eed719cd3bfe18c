#include "tools/ToolPalette.h"

#include <QCoreApplication>
#include <QEvent>

#include "editor/frmCapture.h"
#include "tools/ToolPointer.h"
#include "tools/art/ToolArt.h"

namespace tools {

namespace {

const char* const kToolTips[6] = {"Hand", "Marker", "Kreis", "Pfeil", "Text", "Radierer"};

// Default colours of the drawing tools while a colour field 0 to 3 is chosen.
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kYellow = 0x0000FFFF;

}  // namespace

ToolPalette::ToolPalette(frmCapture& form, std::function<void(bool)> showSizePanel)
    : form_(form), showSizePanel_(std::move(showSizePanel)) {
    picTools.setParent(&form);
    picTools.setGeometry(173, 25, 26, 150);
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
        button.setCheckable(true);
        button.setAutoExclusive(true);
        button.setAutoRaise(false);
        button.setFocusPolicy(Qt::StrongFocus);
        SetButtonPicture(button, art.btnToolsPicture[static_cast<std::size_t>(i)]);
        button.setMouseTracking(true);
        button.installEventFilter(this);
        connect(&button, &QToolButton::clicked, this, [this, i] { btnTools_Click(i); });
    }
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
    const ToolArt& art = Art();
    form_.lngTool = i;

    const int c = form_.intColorIndex;
    const QPixmap* picture = i >= 0 && i < 6 ? &art.btnToolsPicture[static_cast<std::size_t>(i)] : nullptr;
    if (c == 4 || c == 5) {
        switch (i) {
            case kToolHighlighter:
                picture = &art.picMarker[4];
                break;
            case kToolEllipse:
                picture = &art.picKreis[4];
                break;
            case kToolArrow:
                picture = &art.piciArrow[4];
                break;
            case kToolText:
                picture = &art.piciText[4];
                break;
            default:
                break;
        }
    } else {
        switch (i) {
            case kToolHighlighter:
                picture = &art.picMarker[2];
                form_.SetCurrentColor(kYellow);
                break;
            case kToolEllipse:
                picture = &art.picKreis[0];
                form_.SetCurrentColor(kRed);
                break;
            case kToolArrow:
                picture = &art.piciArrow[0];
                form_.SetCurrentColor(kRed);
                break;
            case kToolText:
                picture = &art.piciText[0];
                form_.SetCurrentColor(kRed);
                break;
            case kToolHand:
            case kToolEraser:
                form_.SetCurrentColor(kSystemButtonFace);
                break;
            default:
                break;
        }
    }
    if (picture != nullptr) SetButtonPicture(form_.Command2, *picture);

    ApplyToolPointer(form_);
    MirrorCanvasPointer(form_);
}

void ToolPalette::btnTools_MouseUp(int /*i*/) {
    Hide();
    if (showSizePanel_) showSizePanel_(form_.lngTool == kToolText);
}

void ToolPalette::btnTools_Click(int /*i*/) {
    form_.MoveFocusToDummy();
}

}  // namespace tools
