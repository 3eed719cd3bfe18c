#include "tools/art/ToolArt.h"

#include "tools/art/ToolIcons.h"
#include "tools/art/ToolPointers.h"

namespace tools {

namespace {

QCursor CursorOf(const art::PointerArt& p) {
    return QCursor(QPixmap::fromImage(p.image), p.hotSpot.x(), p.hotSpot.y());
}

ToolArt Build() {
    ToolArt a;
    for (int v = 0; v < art::kVariantCount; ++v) {
        const auto i = static_cast<std::size_t>(v);
        a.picMarker[i] = QPixmap::fromImage(art::MarkerIcon(v));
        a.picKreis[i] = QPixmap::fromImage(art::EllipseIcon(v));
        a.piciArrow[i] = QPixmap::fromImage(art::ArrowIcon(v));
        a.piciText[i] = QPixmap::fromImage(art::TextIcon(v));
    }
    a.btnToolsPicture[0] = QPixmap::fromImage(art::OpenHandPointer().image);
    a.btnToolsPicture[1] = a.picMarker[2];
    a.btnToolsPicture[2] = a.picKreis[0];
    a.btnToolsPicture[3] = a.piciArrow[0];
    a.btnToolsPicture[4] = a.piciText[0];
    a.btnToolsPicture[5] = QPixmap::fromImage(art::EraserPicture(QPoint(6, 14)));

    a.picHand[0] = CursorOf(art::OpenHandPointer());
    a.picHand[1] = CursorOf(art::GrabbingHandPointer());
    a.picArrow = CursorOf(art::ArrowToolPointer());
    a.picCross = CursorOf(art::CrossHairPointer());
    a.picEraser = CursorOf(art::EraserPointer());
    a.picText = CursorOf(art::TextPointer());
    a.markerHotSpot = art::MarkerTip();
    return a;
}

}  // namespace

QCursor ToolArt::MarkerPointer(int variant) const {
    const int v = variant >= 0 && variant < art::kVariantCount ? variant : 4;
    return QCursor(picMarker[static_cast<std::size_t>(v)], markerHotSpot.x(), markerHotSpot.y());
}

const ToolArt& Art() {
    static const ToolArt art = Build();
    return art;
}

QPixmap ButtonPicture(const QPixmap& picture) {
    // Only the drawn part of the picture, so that a button smaller than
    // 32 x 32 shrinks it as little as possible.
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) drawn |= QRect(x, y, 1, 1);
        }
    }
    return drawn.isEmpty() ? picture : picture.copy(drawn);
}

void SetButtonPicture(QAbstractButton& button, const QPixmap& picture) {
    const QPixmap shown = ButtonPicture(picture);
    button.setIcon(QIcon(shown));
    // Inside the button's bevel; a larger picture is scaled down to fit.
    const QSize room = (button.size() - QSize(6, 6)).expandedTo(QSize(8, 8));
    button.setIconSize(shown.size().scaled(room.boundedTo(shown.size()), Qt::KeepAspectRatio));
}

int VariantOfColorIndex(int colorIndex) {
    if (colorIndex >= 0 && colorIndex <= 3) return colorIndex;
    if (colorIndex == 4 || colorIndex == 5) return 4;
    return -1;
}

}  // namespace tools
