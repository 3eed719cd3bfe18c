#include "editor/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>

#include "editor/DrawnIcon.h"

namespace icons {

namespace {

const QColor kOutline(40, 40, 40);

QPen Outline(double width = 1.0) {
    QPen pen(kOutline, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

constexpr int kSide = 16;

void PaintOpenFolder(QPainter& p) {
    p.setPen(Outline());
    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(6.5, 5.0);
    back.lineTo(12.5, 5.0);
    back.lineTo(12.5, 7.0);
    p.setBrush(QColor(214, 168, 60));
    p.drawPath(back);
    // Opened front flap, tilted.
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.0, 7.5);
    front.lineTo(15.0, 7.5);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.setBrush(QColor(250, 210, 90));
    p.drawPath(front);
}

void PaintFloppyDisk(QPainter& p) {
    p.setPen(Outline());
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.setBrush(QColor(50, 90, 170));
    p.drawPath(body);
    // Shutter and label.
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(4.5, 1.5, 7, 4));
    p.fillRect(QRectF(9, 2.5, 1.5, 2), kOutline);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
    p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

void PaintCrop(QPainter& p) {
    QPen dotted(kOutline, 1, Qt::DotLine);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(dotted);
    p.drawRect(1, 1, 10, 9);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Scissors: two blades crossing, two finger rings.
    p.setPen(QPen(QColor(90, 90, 100), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 5), QPointF(12.5, 11.5));
    p.drawLine(QPointF(13, 5), QPointF(8.5, 11.5));
    p.setPen(QPen(QColor(200, 30, 30), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7.5, 13.2), 2, 2);
    p.drawEllipse(QPointF(13.2, 13.2), 2, 2);
}

void PaintCopy(QPainter& p) {
    p.setPen(Outline());
    for (const QPointF origin : {QPointF(1.5, 1.5), QPointF(5.5, 5.5)}) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(origin, QSizeF(9, 9)));
        p.setPen(QPen(QColor(120, 140, 190), 1));
        for (int line = 0; line < 3; ++line) {
            const double y = origin.y() + 2.5 + 2 * line;
            p.drawLine(QPointF(origin.x() + 2, y), QPointF(origin.x() + 7, y));
        }
        p.setPen(Outline());
    }
}

void PaintPaste(QPainter& p) {
    p.setPen(Outline());
    p.setBrush(QColor(170, 120, 60));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4, 1, 5, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 6.5, 8, 8.5));
    p.setPen(QPen(QColor(120, 140, 190), 1));
    for (int line = 0; line < 3; ++line) {
        const double y = 9 + 2 * line;
        p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
    }
}

void PaintEye(QPainter& p) {
    p.setPen(Outline());
    QPainterPath eye;
    eye.moveTo(0.8, 8);
    eye.quadTo(8, 0.5, 15.2, 8);
    eye.quadTo(8, 15.5, 0.8, 8);
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setBrush(QColor(40, 120, 200));
    p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8, 8), 1.4, 1.4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(7, 7), 0.7, 0.7);
}

void PaintUndo(QPainter& p) {
    p.setPen(QPen(QColor(30, 110, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath arc;
    arc.moveTo(4, 6);
    arc.lineTo(10, 6);
    arc.cubicTo(16, 6, 16, 14, 10, 14);
    arc.lineTo(6, 14);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(0.5, 6);
    head.lineTo(5.5, 1.5);
    head.lineTo(5.5, 10.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 40));
    p.drawPath(head);
}

void PaintOpenHand(QPainter& p) {
    p.setPen(Outline(0.9));
    p.setBrush(QColor(255, 224, 190));
    // Palm and four fingers, thumb to the left.
    p.drawRoundedRect(QRectF(4, 7, 8.5, 7.5), 2.5, 2.5);
    for (int finger = 0; finger < 4; ++finger) {
        const double x = 4.3 + 2.1 * finger;
        const double top = finger == 1 || finger == 2 ? 1.0 : 2.2;
        p.drawRoundedRect(QRectF(x, top, 2.0, 8.5 - top + 1), 1, 1);
    }
    QPainterPath thumb;
    thumb.moveTo(4.5, 11);
    thumb.lineTo(1.5, 7.5);
    thumb.quadTo(1.0, 6.0, 2.5, 6.5);
    thumb.lineTo(5, 9);
    p.drawPath(thumb);
}

}  // namespace

QIcon OpenFolderIcon() {
    return DrawnIcon(kSide, PaintOpenFolder);
}
QImage OpenFolderImage() {
    return DrawnImage(kSide, PaintOpenFolder, QSize(kSide, kSide));
}
QIcon FloppyDiskIcon() {
    return DrawnIcon(kSide, PaintFloppyDisk);
}
QImage FloppyDiskImage() {
    return DrawnImage(kSide, PaintFloppyDisk, QSize(kSide, kSide));
}
QIcon CropIcon() {
    return DrawnIcon(kSide, PaintCrop);
}
QImage CropImage() {
    return DrawnImage(kSide, PaintCrop, QSize(kSide, kSide));
}
QIcon CopyIcon() {
    return DrawnIcon(kSide, PaintCopy);
}
QImage CopyImage() {
    return DrawnImage(kSide, PaintCopy, QSize(kSide, kSide));
}
QIcon PasteIcon() {
    return DrawnIcon(kSide, PaintPaste);
}
QImage PasteImage() {
    return DrawnImage(kSide, PaintPaste, QSize(kSide, kSide));
}
QIcon EyeIcon() {
    return DrawnIcon(kSide, PaintEye);
}
QImage EyeImage() {
    return DrawnImage(kSide, PaintEye, QSize(kSide, kSide));
}
QIcon UndoIcon() {
    return DrawnIcon(kSide, PaintUndo);
}
QImage UndoImage() {
    return DrawnImage(kSide, PaintUndo, QSize(kSide, kSide));
}
QIcon OpenHandIcon() {
    return DrawnIcon(kSide, PaintOpenHand);
}
QImage OpenHandImage() {
    return DrawnImage(kSide, PaintOpenHand, QSize(kSide, kSide));
}

}  // namespace icons
