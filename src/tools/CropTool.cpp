#include "tools/CropTool.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

#include "canvas/CanvasSurface.h"
#include "canvas/CanvasView.h"
#include "tools/ToolHost.h"
#include "tools/ToolPointer.h"

namespace tools {

// --- frame line -------------------------------------------------------------

CropFrameLine::CropFrameLine(canvas::CanvasView& canvas) : QWidget(&canvas), canvas_(canvas) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CropFrameLine::SetBand(const geometry::PixelRect& band) {
    if (band.IsEmpty()) {
        setGeometry(0, 0, 0, 0);
        return;
    }
    // The band is in picture pixels; the canvas maps it to the screen.
    setGeometry(canvas_.PictureToWidget(QRect(band.left, band.top, band.Width(), band.Height())));
}

void CropFrameLine::paintEvent(QPaintEvent* event) {
    // Inverts the canvas under the band. Over mid grey an inversion alone is
    // hard to see, so the centre line of the band is also XORed with mid grey:
    // it differs from the picture by at least half the range in every channel.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(event->rect(), Qt::black);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const bool horizontal = width() >= height();
    const QRect centre = horizontal ? QRect(0, height() / 2, width(), height() >= 3 ? 1 : 0)
                                    : QRect(width() / 2, 0, width() >= 3 ? 1 : 0, height());
    painter.fillRect(centre & event->rect(), QColor(0x80, 0x80, 0x80));
}

// --- crop tool ----------------------------------------------------------------

CropTool::CropTool(canvas::CanvasSurface& canvas, ToolHost& host, canvas::CanvasView& view,
                   canvas::ViewPanel& panel, QAbstractButton& cropButton, std::function<void()> toolPointer)
    : canvas_(canvas),
      host_(host),
      view_(view),
      panel_(panel),
      cropButton_(cropButton),
      toolPointer_(std::move(toolPointer)) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = std::make_unique<CropFrameLine>(view_);
        lines_[i]->setObjectName(QStringLiteral("Line%1").arg(i + 1));
    }
    buttonConnection_ =
        QObject::connect(&cropButton_, &QAbstractButton::toggled, [this] { CropButtonToggled(); });
}

CropTool::~CropTool() {
    QObject::disconnect(buttonConnection_);
}

void CropTool::CropButtonToggled() {
    host_.MoveFocusToDummy();
    if (cropButton_.isChecked()) {
        blnCropMode_ = -1;
        view_.SetMousePointer(canvas::kPointerCross);
    } else {
        blnCropMode_ = 0;
        view_.SetMousePointer(canvas::kPointerCustom);
        toolPointer_();
    }
    MirrorCanvasPointer(view_, panel_);
}

void CropTool::Press(const ToolEvent& event) {
    blnCropDrag_ = event.button == 1 ? -1 : 0;
    view_.SetMousePointer(canvas::kPointerCross);
    frame_ = geometry::CropFrame::AtPoint(event.x, event.y);
    PlaceFrame();
    ShowFrame(true);
    intCropX_ = geometry::CropAnchor(event.x);
    intCropY_ = geometry::CropAnchor(event.y);
}

void CropTool::Move(const ToolEvent& event) {
    if (blnCropDrag_ == 0) return;
    frame_ = geometry::CropFrame::Spanning(intCropX_, intCropY_, event.x, event.y);
    PlaceFrame();
}

void CropTool::Release(const ToolEvent& /*event*/) {
    ShowFrame(false);
    view_.SetMousePointer(canvas::kPointerDefault);
    blnCropMode_ = 0;

    QImage cut = CutSelection(geometry::CropBounds(frame_.lines[0], frame_.lines[1]));
    // Repaints and timers may run; mouse and keys wait, so no second crop or
    // stroke starts in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    blnCropDrag_ = 0;

    // Out of memory for the cut: the picture stays as it is rather than
    // being replaced by nothing.
    if (!cut.isNull()) {
        host_.MoveCanvasTwips(0, 0);
        host_.ReplacePicture(std::move(cut), AfterReplace::Nothing);
    }
    // Turning the button off runs its click handler (focus, pointer).
    if (cropButton_.isChecked()) {
        cropButton_.setChecked(false);
    } else {
        CropButtonToggled();
    }
    host_.CenterOnScreen();
}

void CropTool::Cancel() {
    ShowFrame(false);
    blnCropDrag_ = 0;
}

// The selected pixels of the canvas image, and kOutsideColor outside it.
QImage CropTool::CutSelection(const geometry::PixelRect& bounds) const {
    QImage cut(bounds.Width(), bounds.Height(), QImage::Format_RGB32);
    if (cut.isNull()) return cut;
    const QImage& from = canvas_.Image();
    const QRect selection(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    const QRect inside = selection & from.rect();
    if (inside != selection) cut.fill(ToQColor(kOutsideColor));
    if (!inside.isEmpty()) {
        QPainter painter(&cut);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(inside.topLeft() - selection.topLeft(), from, inside);
    }
    return cut;
}

void CropTool::ShowFrame(bool visible) {
    frameVisible_ = visible;
    for (auto& line : lines_) {
        line->setVisible(visible);
        if (visible) line->raise();
    }
}

void CropTool::PlaceFrame() {
    const auto bands = geometry::FrameBands(frame_);
    for (std::size_t i = 0; i < lines_.size(); ++i) lines_[i]->SetBand(bands[i]);
}

}  // namespace tools
