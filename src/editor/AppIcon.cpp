#include "editor/AppIcon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QTextStream>
#include <optional>
#include <utility>
#include <vector>

#include "editor/DrawnIcon.h"

namespace icons {

namespace {

// One filled (and optionally outlined) shape of the drawing, in icon units,
// placed by a translation followed by a rotation (degrees, clockwise on
// screen) as SVG's transform="translate() rotate()" does.
struct Shape {
    enum class Kind { Rect, Polygon };
    Kind kind = Kind::Rect;
    QRectF rect;        // Rect
    double radius = 0;  // Rect: corner radius
    QPolygonF polygon;  // Polygon
    QColor fill;
    std::optional<QColor> outline;
    double outlineWidth = 0;
    QPointF translate;
    double rotate = 0;
};

const QColor kAppIconOutline(40, 40, 40);

Shape Rect(QRectF rect, QColor fill, double radius = 0) {
    Shape s;
    s.rect = rect;
    s.radius = radius;
    s.fill = fill;
    return s;
}

Shape Polygon(QPolygonF polygon, QColor fill) {
    Shape s;
    s.kind = Shape::Kind::Polygon;
    s.polygon = std::move(polygon);
    s.fill = fill;
    return s;
}

// A yellow highlighter lying diagonally, chisel tip at the lower left, with
// the translucent stroke it has just drawn.
std::vector<Shape> MarkerPen() {
    // The pen's parts are outlined and turned 45 degrees about the centre.
    auto part = [](Shape s) {
        s.outline = kAppIconOutline;
        s.outlineWidth = 1.2;
        s.translate = QPointF(16, 16);
        s.rotate = -45;
        return s;
    };
    return {
        Rect(QRectF(1, 26, 16, 5), QColor(255, 240, 0, 170)),         // the stroke
        part(Rect(QRectF(-6, -4.5, 20, 9), QColor(255, 215, 0), 2)),  // barrel
        part(Rect(QRectF(9, -4.5, 5, 9), QColor(60, 60, 60))),        // cap end
        part(Rect(QRectF(-10, -3.5, 4, 7), QColor(230, 230, 230))),   // collar
        part(Polygon(QPolygonF({{-10, -2.5}, {-15, -1}, {-15, 2.5}, {-10, 2.5}}),
                     QColor(255, 240, 0))),  // tip
    };
}

const std::vector<Shape>& Drawing() {
    static const std::vector<Shape> shapes = MarkerPen();
    return shapes;
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

QString SvgColor(const QColor& color) {
    return color.name(QColor::HexRgb);
}

}  // namespace

void PaintAppIcon(QPainter& painter, double side) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(side / kAppIconDesignSize, side / kAppIconDesignSize);
    for (const Shape& s : Drawing()) {
        painter.save();
        painter.translate(s.translate);
        painter.rotate(s.rotate);
        if (s.outline) {
            QPen pen(*s.outline, s.outlineWidth);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
        } else {
            painter.setPen(Qt::NoPen);
        }
        painter.setBrush(s.fill);
        if (s.kind == Shape::Kind::Polygon) {
            painter.drawPolygon(s.polygon);
        } else if (s.radius > 0) {
            painter.drawRoundedRect(s.rect, s.radius, s.radius);
        } else {
            painter.drawRect(s.rect);
        }
        painter.restore();
    }
    painter.restore();
}

QImage AppIconImage(int size) {
    return DrawnImage(
        kAppIconDesignSize, [](QPainter& p) { PaintAppIcon(p, kAppIconDesignSize); }, QSize(size, size));
}

QString AppIconSvg() {
    QString svg;
    QTextStream out(&svg);
    const QString side = Number(kAppIconDesignSize);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 " << side
        << ' ' << side << "\">\n";
    for (const Shape& s : Drawing()) {
        out << "  <";
        if (s.kind == Shape::Kind::Polygon) {
            out << "polygon points=\"";
            for (qsizetype i = 0; i < s.polygon.size(); ++i) {
                out << (i > 0 ? " " : "") << Number(s.polygon[i].x()) << ',' << Number(s.polygon[i].y());
            }
            out << '"';
        } else {
            out << "rect x=\"" << Number(s.rect.x()) << "\" y=\"" << Number(s.rect.y()) << "\" width=\""
                << Number(s.rect.width()) << "\" height=\"" << Number(s.rect.height()) << '"';
            if (s.radius > 0) out << " rx=\"" << Number(s.radius) << "\" ry=\"" << Number(s.radius) << '"';
        }
        if (!s.translate.isNull() || s.rotate != 0) {
            out << " transform=\"translate(" << Number(s.translate.x()) << ' ' << Number(s.translate.y())
                << ") rotate(" << Number(s.rotate) << ")\"";
        }
        out << " fill=\"" << SvgColor(s.fill) << '"';
        if (s.fill.alpha() != 255) out << " fill-opacity=\"" << Number(s.fill.alphaF()) << '"';
        if (s.outline) {
            out << " stroke=\"" << SvgColor(*s.outline) << "\" stroke-width=\"" << Number(s.outlineWidth)
                << "\" stroke-linejoin=\"miter\"";
        }
        out << "/>\n";
    }
    out << "</svg>\n";
    return svg;
}

QIcon AppIcon() {
    return DrawnIcon(kAppIconDesignSize, [](QPainter& p) { PaintAppIcon(p, kAppIconDesignSize); });
}

}  // namespace icons
