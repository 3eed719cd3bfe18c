#include "editor/DrawnIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <cmath>
#include <utility>

namespace icons {

namespace {

class DrawnIconEngine final : public QIconEngine {
  public:
    DrawnIconEngine(double designSide, IconPainter paint)
        : designSide_(designSide), paint_(std::move(paint)) {}

    // Qt asks for `size` device pixels; it sets the pixel ratio on the result.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) override {
        QPixmap pixmap = QPixmap::fromImage(DrawnImage(designSide_, paint_, size));
        if (mode == QIcon::Disabled) {
            // The style's own greying, as for icons made from pixmaps.
            if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
                QStyleOption option;
                option.palette = QApplication::palette();
                pixmap = app->style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
            }
        }
        return pixmap;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const double ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        const QSize device(static_cast<int>(std::ceil(rect.width() * ratio)),
                           static_cast<int>(std::ceil(rect.height() * ratio)));
        painter->drawPixmap(rect, pixmap(device, mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = static_cast<int>(designSide_);
        return {QSize(side, side), QSize(2 * side, 2 * side)};
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(designSide_, paint_); }
    QString key() const override { return QStringLiteral("korvel-drawn"); }

  private:
    double designSide_;
    IconPainter paint_;
};

}  // namespace

QImage DrawnImage(double designSide, const IconPainter& paint, QSize logical, double pixelRatio) {
    const QSize device(static_cast<int>(std::lround(logical.width() * pixelRatio)),
                       static_cast<int>(std::lround(logical.height() * pixelRatio)));
    QImage image(device.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // The drawing keeps its proportions and sits centred in a non-square picture.
        const double side = std::min(device.width(), device.height());
        painter.translate((device.width() - side) / 2.0, (device.height() - side) / 2.0);
        painter.scale(side / designSide, side / designSide);
        paint(painter);
    }
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

QIcon DrawnIcon(double designSide, IconPainter paint) {
    // QIcon takes ownership of the engine.
    return QIcon(
        new DrawnIconEngine(designSide, std::move(paint)));  // NOLINT(cppcoreguidelines-owning-memory)
}

}  // namespace icons
