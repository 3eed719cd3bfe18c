#include "canvas/PictureArea.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace canvas {

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {}

void PictureArea::SetMousePointer(int kind) {
    mousePointer_ = kind;
    ApplyPointer();
}

void PictureArea::SetMouseIcon(const QCursor& cursor) {
    mouseIcon_ = cursor;
    ApplyPointer();
}

void PictureArea::ApplyPointer() {
    switch (mousePointer_) {
        case kPointerCustom:
            setCursor(mouseIcon_);
            break;
        case kPointerCross:
            setCursor(Qt::CrossCursor);
            break;
        case kPointerArrow:
            setCursor(Qt::ArrowCursor);
            break;
        default:
            unsetCursor();
            break;
    }
}

void PictureArea::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureArea::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PictureArea::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped(*event->mimeData());
}

ViewPanel::ViewPanel(QWidget* parent) : PictureArea(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ViewPanel::SetBackColor(COLORREF color) {
    backColor_ = color;
    update();
}

void ViewPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), ToQColor(backColor_));
}

// The panel keeps its presses: they do not reach the window behind it.
void ViewPanel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit pressed();
}

void ViewPanel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit released();
}

}  // namespace canvas
