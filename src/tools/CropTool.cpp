#include "tools/CropTool.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

#include "tools/ToolHost.h"
#include "tools/ToolPointer.h"
#include "widgets/PictureBox.h"

namespace tools {

// --- frame line -------------------------------------------------------------

CropFrameLine::CropFrameLine(QWidget* parent) : QWidget(parent) {
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
    const QRect pixels(band.left, band.top, band.Width(), band.Height());
    const auto* canvas = qobject_cast<const PictureBox*>(parentWidget());
    setGeometry(canvas != nullptr ? canvas->PictureToWidget(pixels) : pixels);
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

CropTool::CropTool(ToolHost& host, const ToolList& tools)
    : host_(host), stroke_(host.Stroke()), tools_(tools) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = std::make_unique<CropFrameLine>(&host_.Canvas());
        lines_[i]->setObjectName(QStringLiteral("Line%1").arg(i + 1));
    }
    check1Connection_ =
        QObject::connect(&host_.CropButton(), &QAbstractButton::toggled, [this] { Check1_Click(); });
}

CropTool::~CropTool() {
    QObject::disconnect(check1Connection_);
}

void CropTool::Check1_Click() {
    host_.MoveFocusToDummy();
    if (host_.CropButton().isChecked()) {
        stroke_.blnCropMode = -1;
        host_.Canvas().SetMousePointer(PictureBox::kPointerCross);
    } else {
        stroke_.blnCropMode = 0;
        host_.Canvas().SetMousePointer(PictureBox::kPointerCustom);
        ApplyToolPointer(host_, ToolAt(tools_, host_.CurrentTool()));
    }
    MirrorCanvasPointer(host_);
}

void CropTool::Press(int button, float x, float y) {
    stroke_.blnCropDrag = button == 1 ? -1 : 0;
    host_.Canvas().SetMousePointer(PictureBox::kPointerCross);
    frame_ = geometry::CropFrame::AtPoint(x, y);
    PlaceFrame();
    ShowFrame(true);
    stroke_.intCropX = geometry::CropAnchor(x);
    stroke_.intCropY = geometry::CropAnchor(y);
}

void CropTool::Move(float x, float y) {
    if (stroke_.blnCropDrag == 0) return;
    frame_ = geometry::CropFrame::Spanning(stroke_.intCropX, stroke_.intCropY, x, y);
    PlaceFrame();
}

void CropTool::Release() {
    ShowFrame(false);
    host_.Canvas().SetMousePointer(PictureBox::kPointerDefault);
    stroke_.blnCropMode = 0;

    const geometry::PixelRect bounds = geometry::CropBounds(frame_.lines[0], frame_.lines[1]);
    const bool copied = CopySelection(bounds);
    stroke_.blnCropDrag = 0;

    if (copied) {
        host_.MoveCanvasTwips(0, 0);
        host_.ReplacePicture(host_.CropHolder().Image(), AfterReplace::Nothing);
    }
    // Turning the button off runs its click handler (focus, pointer).
    if (host_.CropButton().isChecked()) {
        host_.CropButton().setChecked(false);
    } else {
        Check1_Click();
    }
    host_.CenterOnScreen();
}

bool CropTool::CopySelection(const geometry::PixelRect& bounds) {
    PictureBox& target = host_.CropHolder();
    target.SetPicture(QImage());  // no picture, the image cleared to the background
    // Repaints and timers may run; mouse and keys wait, so no second crop or
    // stroke starts in the middle of this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // The area outside the canvas image keeps picRectangle's background.
    target.SetSizePixels(bounds.Width(), bounds.Height());
    QImage& into = target.Image();
    if (into.isNull() || into.width() != bounds.Width() || into.height() != bounds.Height()) {
        // Out of memory: keep the picture as it is rather than replace it by
        // nothing.
        return false;
    }
    const QImage& from = host_.Canvas().Image();
    const QRect selection(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    const QRect inside = selection & from.rect();
    if (!inside.isEmpty()) {
        QPainter painter(&into);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(inside.topLeft() - selection.topLeft(), from, inside);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
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
