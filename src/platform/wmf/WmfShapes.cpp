// Lines, polygons, rectangles, ellipses, arcs and pattern fills of the
// metafile player.
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/wmf/WmfPlayer.h"
#include "platform/wmf/WmfRecordTypes.h"

namespace wmf {
namespace {

enum ArcKind { kArcOnly, kPieSlice, kChordSlice };

constexpr std::uint32_t kPatCopy = 0x00F00021;
constexpr std::uint32_t kPatInvert = 0x005A0049;
constexpr std::uint32_t kDstInvert = 0x00550009;
constexpr std::uint32_t kBlackness = 0x00000042;
constexpr std::uint32_t kWhiteness = 0x00FF0062;

// GDI leaves out the right and bottom edge of a shape's bounding box; the
// aliased QPainter outline covers width + 1 pixels, so one is taken off.
QRectF OutlineRect(const QRectF& r) {
    return QRectF(r.left(), r.top(), std::max(0.0, r.width() - 1), std::max(0.0, r.height() - 1));
}

// The angle (Qt's convention: degrees, counter-clockwise from 3 o'clock) of
// the point where the ray from the centre through p meets the ellipse.
double EllipseAngle(const QRectF& r, const QPointF& p) {
    const double rx = std::max(r.width() / 2, 1e-9);
    const double ry = std::max(r.height() / 2, 1e-9);
    const QPointF c = r.center();
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / std::numbers::pi;
}

double Perimeter(const QPolygonF& poly) {
    double length = 0;
    for (qsizetype i = 1; i < poly.size(); ++i) length += QLineF(poly[i - 1], poly[i]).length();
    return length;
}

}  // namespace

bool Player::DoShapeRecord(const Record& r) {
    const Params& p = r.params;
    switch (r.function) {
        case kLineTo: {
            if (!p.Has(2)) return true;
            const QPointF from = Map(s_.position.x(), s_.position.y());
            s_.position = QPointF(p.S16(1), p.S16(0));
            const QPointF to = Map(s_.position.x(), s_.position.y());
            const double w = PenWidth() / 2 + 1;
            if (Spend(QRectF(from, to).normalized().adjusted(-w, -w, w, w),
                      Cost(QLineF(from, to).length())) &&
                PreparePainter(true, false)) {
                painter_.drawLine(from, to);
            }
            return true;
        }
        case kPolyline:
        case kPolygon:
            DrawPoly(p, r.function == kPolygon);
            return true;
        case kPolyPolygon:
            DrawPolyPolygon(p);
            return true;
        case kRectangle:
        case kEllipse: {
            if (!p.Has(4)) return true;
            const QRectF rect = MapRect(p.S16(3), p.S16(2), p.S16(1), p.S16(0));
            const double w = PenWidth() / 2 + 1;
            if (!Spend(rect.adjusted(-w, -w, w, w), Cost(2 * (rect.width() + rect.height()))) ||
                !PreparePainter(true, true)) {
                return true;
            }
            if (r.function == kRectangle) {
                painter_.drawRect(OutlineRect(rect));
            } else {
                painter_.drawEllipse(OutlineRect(rect));
            }
            return true;
        }
        case kRoundRect: {
            if (!p.Has(6)) return true;
            const QRectF rect = MapRect(p.S16(5), p.S16(4), p.S16(3), p.S16(2));
            const double rx = std::min(std::abs(p.S16(1) * ScaleX()) / 2, rect.width() / 2);
            const double ry = std::min(std::abs(p.S16(0) * ScaleY()) / 2, rect.height() / 2);
            const double w = PenWidth() / 2 + 1;
            if (Spend(rect.adjusted(-w, -w, w, w), Cost(2 * (rect.width() + rect.height()))) &&
                PreparePainter(true, true)) {
                painter_.drawRoundedRect(OutlineRect(rect), rx, ry, Qt::AbsoluteSize);
            }
            return true;
        }
        case kArc:
        case kPie:
        case kChord:
            DrawArcFamily(p, r.function == kArc ? kArcOnly : r.function == kPie ? kPieSlice : kChordSlice);
            return true;
        case kSetPixel: {
            if (!p.Has(4)) return true;
            const QPointF at = Map(p.S16(3), p.S16(2));
            if (!Spend(QRectF(at, QSizeF(1, 1)))) return true;
            const PenSpec keep = s_.pen;
            s_.pen = PenSpec{kPsSolid, 0, ColorFromRef(p.U32(0))};
            const bool draw = PreparePainter(true, false);
            s_.pen = keep;
            if (draw) painter_.drawPoint(at);
            return true;
        }
        case kPatBlt: {
            if (!p.Has(6)) return true;
            const double x = p.S16(5);
            const double y = p.S16(4);
            PatternBlt(MapRect(x, y, x + p.S16(3), y + p.S16(2)), p.U32(0));
            return true;
        }
        default:
            return false;
    }
}

void Player::DrawPoly(const Params& p, bool closed) {
    if (!p.Has(1)) return;
    const std::size_t count = p.U16(0);
    if (!p.Has(1 + 2 * count) || count < 2) return;
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) poly.append(Map(p.S16(1 + 2 * i), p.S16(2 + 2 * i)));
    const double w = PenWidth() / 2 + 1;
    if (!Spend(poly.boundingRect().adjusted(-w, -w, w, w), count + Cost(Perimeter(poly))) ||
        !PreparePainter(true, closed)) {
        return;
    }
    if (closed) {
        painter_.drawPolygon(poly, s_.fillRule);
    } else {
        painter_.drawPolyline(poly);
    }
}

void Player::DrawPolyPolygon(const Params& p) {
    if (!p.Has(1)) return;
    const std::size_t polygons = p.U16(0);
    if (!p.Has(1 + polygons)) return;
    std::size_t total = 0;
    for (std::size_t i = 0; i < polygons; ++i) total += p.U16(1 + i);
    if (!p.Has(1 + polygons + 2 * total)) return;
    QPainterPath path;
    path.setFillRule(s_.fillRule);
    double perimeter = 0;
    std::size_t word = 1 + polygons;
    for (std::size_t i = 0; i < polygons; ++i) {
        const std::size_t count = p.U16(1 + i);
        QPolygonF poly;
        poly.reserve(static_cast<qsizetype>(count));
        for (std::size_t k = 0; k < count; ++k, word += 2) poly.append(Map(p.S16(word), p.S16(word + 1)));
        if (poly.size() < 2) continue;
        perimeter += Perimeter(poly);
        path.addPolygon(poly);
        path.closeSubpath();
    }
    const double w = PenWidth() / 2 + 1;
    if (Spend(path.boundingRect().adjusted(-w, -w, w, w), total + Cost(perimeter)) &&
        PreparePainter(true, true)) {
        painter_.drawPath(path);
    }
}

void Player::DrawArcFamily(const Params& p, int kind) {
    if (!p.Has(8)) return;
    const QRectF rect = OutlineRect(MapRect(p.S16(7), p.S16(6), p.S16(5), p.S16(4)));
    const QPointF start = Map(p.S16(3), p.S16(2));
    const QPointF end = Map(p.S16(1), p.S16(0));
    // GDI draws arcs counter-clockwise on the device from the start radial to
    // the end radial; equal radials give the whole ellipse.
    const double a0 = EllipseAngle(rect, start);
    double span = EllipseAngle(rect, end) - a0;
    while (span <= 0) span += 360;
    while (span > 360) span -= 360;
    const int startQ = static_cast<int>(std::lround(a0 * 16));
    const int spanQ = static_cast<int>(std::lround(span * 16));
    const double w = PenWidth() / 2 + 1;
    if (!Spend(rect.adjusted(-w, -w, w, w), Cost(2 * (rect.width() + rect.height()))) ||
        !PreparePainter(true, kind != kArcOnly)) {
        return;
    }
    if (kind == kArcOnly) {
        painter_.drawArc(rect, startQ, spanQ);
    } else if (kind == kPieSlice) {
        painter_.drawPie(rect, startQ, spanQ);
    } else {
        painter_.drawChord(rect, startQ, spanQ);
    }
}

void Player::PatternBlt(const QRectF& device, std::uint32_t rop) {
    if (!Spend(device)) return;
    const QRectF area(device.topLeft(),
                      QSizeF(std::max(0.0, device.width()), std::max(0.0, device.height())));
    PreparePainter(false, true);
    painter_.setPen(Qt::NoPen);
    switch (rop) {
        case kBlackness:
            painter_.setBrush(Qt::black);
            break;
        case kWhiteness:
            painter_.setBrush(Qt::white);
            break;
        case kDstInvert:
            painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
            painter_.setBrush(Qt::black);
            break;
        case kPatInvert:
            painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            break;
        case kPatCopy:
        default:
            painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
            break;
    }
    painter_.drawRect(area);
}

}  // namespace wmf
