#include "tools/art/ToolArt.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "tools/art/ToolIcons.h"
#include "tools/art/ToolPointers.h"

namespace tools {

namespace {

// A pointer from art drawn at some pixel ratio, hot spot in art pixels. Qt
// takes the hot spot in logical pixels, except on X11, where it reaches the
// server unscaled and must be given in the picture's own pixels.
QCursor PointerOf(const QPixmap& picture, QPoint hotSpot) {
    const bool devicePixels = QGuiApplication::platformName() == QLatin1String("xcb");
    const QPoint hot = devicePixels ? (QPointF(hotSpot) * picture.devicePixelRatio()).toPoint() : hotSpot;
    return QCursor(picture, hot.x(), hot.y());
}

QCursor CursorOf(const art::PointerArt& p) {
    return PointerOf(QPixmap::fromImage(p.image), p.hotSpot);
}

// Device pixels per art pixel: the art is drawn at the screen's resolution
// (2 on a 200 % desktop, also for 150 %, which Qt then scales down a little).
int ArtScale() {
    const double ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    return std::max(1, static_cast<int>(std::ceil(ratio - 1e-6)));
}

ToolArt Build() {
    ToolArt a;
    const int s = ArtScale();
    for (int v = 0; v < art::kVariantCount; ++v) {
        const auto i = static_cast<std::size_t>(v);
        a.picMarker[i] = QPixmap::fromImage(art::MarkerIcon(v, s));
        a.picKreis[i] = QPixmap::fromImage(art::EllipseIcon(v, s));
        a.piciArrow[i] = QPixmap::fromImage(art::ArrowIcon(v, s));
        a.piciText[i] = QPixmap::fromImage(art::TextIcon(v, s));
    }
    a.handPicture = QPixmap::fromImage(art::OpenHandPointer(s).image);
    a.eraserPicture = QPixmap::fromImage(art::EraserPicture(QPoint(6, 14), s));

    a.picHand[0] = CursorOf(art::OpenHandPointer(s));
    a.picHand[1] = CursorOf(art::GrabbingHandPointer(s));
    a.picArrow = CursorOf(art::ArrowToolPointer(s));
    a.picCross = CursorOf(art::CrossHairPointer(s));
    a.picEraser = CursorOf(art::EraserPointer(s));
    a.picText = CursorOf(art::TextPointer(s));
    a.markerHotSpot = art::MarkerTip();
    return a;
}

}  // namespace

QCursor ToolArt::MarkerPointer(int variant) const {
    const int v = variant >= 0 && variant < art::kVariantCount ? variant : 4;
    return PointerOf(picMarker[static_cast<std::size_t>(v)], markerHotSpot);
}

const ToolArt& Art() {
    static const ToolArt art = Build();
    return art;
}

QPixmap ButtonPicture(const QPixmap& picture) {
    // Only the drawn part of the picture, so that a button smaller than
    // 32 x 32 shrinks it as little as possible.
    // Trimmed on whole art pixels, so the picture keeps its pixel ratio.
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const int scale = std::max(1, static_cast<int>(picture.devicePixelRatio()));
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) drawn |= QRect(x, y, 1, 1);
        }
    }
    if (drawn.isEmpty()) return picture;
    const QRect whole(drawn.x() / scale * scale, drawn.y() / scale * scale,
                      (drawn.right() / scale + 1) * scale - drawn.x() / scale * scale,
                      (drawn.bottom() / scale + 1) * scale - drawn.y() / scale * scale);
    QPixmap trimmed = picture.copy(whole);
    trimmed.setDevicePixelRatio(picture.devicePixelRatio());
    return trimmed;
}

void SetButtonPicture(QAbstractButton& button, const QPixmap& picture) {
    const QPixmap shown = ButtonPicture(picture);
    button.setIcon(QIcon(shown));
    // Inside the button's bevel; a larger picture is scaled down to fit.
    const QSize room = (button.size() - QSize(6, 6)).expandedTo(QSize(8, 8));
    const QSize logical = (QSizeF(shown.size()) / shown.devicePixelRatio()).toSize();
    button.setIconSize(logical.scaled(room.boundedTo(logical), Qt::KeepAspectRatio));
}

int VariantOfColorIndex(int colorIndex) {
    if (colorIndex >= 0 && colorIndex <= 3) return colorIndex;
    if (colorIndex == 4 || colorIndex == 5) return 4;
    return -1;
}

}  // namespace tools
