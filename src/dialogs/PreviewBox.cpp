#include "dialogs/PreviewBox.h"

#include <QPainter>
#include <algorithm>

#include "core/Rounding.h"

namespace dialogs {

QSize PreviewTargetSize(QSize picture, QSize box) {
    const double w = picture.width();
    const double h = picture.height();
    if (w <= 0 || h <= 0 || box.isEmpty()) return {};
    if (h > w) return {core::N(box.height() * w / h), box.height()};
    return {box.width(), core::N(box.width() * h / w)};
}

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PreviewBox::InnerSize() const {
    return {std::max(0, width() - 2 * kBorder), std::max(0, height() - 2 * kBorder)};
}

void PreviewBox::Clear() {
    image_ = QImage(InnerSize(), QImage::Format_RGB32);
    image_.fill(Qt::black);
    update();
}

void PreviewBox::ShowPicture(const QImage& picture) {
    Clear();
    const QSize target = PreviewTargetSize(picture.size(), image_.size());
    if (target.isEmpty()) return;
    const QImage scaled = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image_);
    painter.drawImage(QPoint(0, 0), scaled);
    painter.end();
    update();
}

void PreviewBox::resizeEvent(QResizeEvent* /*event*/) {
    if (image_.size() != InnerSize()) Clear();
}

void PreviewBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawImage(QPoint(kBorder, kBorder), image_);
}

}  // namespace dialogs
