#include "platform/wmf/WmfPlayer.h"

#include <algorithm>
#include <cmath>

#include "platform/wmf/Rop2Mode.h"
#include "platform/wmf/WmfRecordTypes.h"

namespace wmf {
namespace {

// Device coordinates beyond this are treated as a broken file rather than
// handed to the rasteriser.
constexpr double kMaxDeviceCoordinate = 16.0 * 1024 * 1024;

}  // namespace

Player::Player(QImage& target, std::size_t objectCount, const QRectF& window, bool viewportFixed,
               const PlayLimits& limits)
    : image_(target),
      painter_(&target),
      objects_(objectCount),
      viewportFixed_(viewportFixed),
      limits_(limits),
      budget_(limits.workBudget) {
    s_.winOrg = window.topLeft();
    s_.winExt = QPointF(window.width(), window.height());
    s_.vpExt = QPointF(target.width(), target.height());
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

bool Player::Play(const Metafile& mf) {
    if (!painter_.isActive()) return false;
    mf.ForEachRecord([this](const Record& r) {
        Dispatch(r);
        return !failed_;
    });
    painter_.end();
    return !failed_;
}

void Player::Dispatch(const Record& r) {
    if (DoStateRecord(r) || DoObjectRecord(r) || DoShapeRecord(r) || DoBitmapRecord(r)) return;
    if (r.function == kTextOut) {
        TextOut(r.params);
    } else if (r.function == kExtTextOut) {
        ExtTextOut(r.params);
    }
    // Anything else (escapes, palettes, regions drawn with, ...) is skipped.
}

bool Player::DoStateRecord(const Record& r) {
    const Params& p = r.params;
    switch (r.function) {
        case kSetBkColor:
            if (p.Has(2)) s_.bkColor = ColorFromRef(p.U32(0));
            return true;
        case kSetTextColor:
            if (p.Has(2)) s_.textColor = ColorFromRef(p.U32(0));
            return true;
        case kSetBkMode:
            if (p.Has(1)) s_.opaqueBackground = p.U16(0) == 2;
            return true;
        case kSetRop2:
            if (p.Has(1)) s_.rop2 = p.U16(0);
            return true;
        case kSetPolyFillMode:
            if (p.Has(1)) s_.fillRule = p.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            return true;
        case kSetStretchBltMode:
            if (p.Has(1)) s_.smoothStretch = p.U16(0) == 4;  // HALFTONE
            return true;
        case kSetTextAlign:
            if (p.Has(1)) s_.textAlign = p.U16(0);
            return true;
        case kSetWindowOrg:
            if (p.Has(2)) s_.winOrg = QPointF(p.S16(1), p.S16(0));
            return true;
        case kSetWindowExt:
            if (p.Has(2) && p.S16(0) != 0 && p.S16(1) != 0) s_.winExt = QPointF(p.S16(1), p.S16(0));
            return true;
        case kOffsetWindowOrg:
            if (p.Has(2)) s_.winOrg += QPointF(p.S16(1), p.S16(0));
            return true;
        case kScaleWindowExt:
            if (p.Has(4)) ScaleExtent(s_.winExt, p);
            return true;
        case kSetViewportOrg:
            if (p.Has(2) && !viewportFixed_) s_.vpOrg = QPointF(p.S16(1), p.S16(0));
            return true;
        case kSetViewportExt:
            if (p.Has(2) && !viewportFixed_ && p.S16(0) != 0 && p.S16(1) != 0) {
                s_.vpExt = QPointF(p.S16(1), p.S16(0));
            }
            return true;
        case kOffsetViewportOrg:
            if (p.Has(2) && !viewportFixed_) s_.vpOrg += QPointF(p.S16(1), p.S16(0));
            return true;
        case kScaleViewportExt:
            if (p.Has(4) && !viewportFixed_) ScaleExtent(s_.vpExt, p);
            return true;
        case kMoveTo:
            if (p.Has(2)) s_.position = QPointF(p.S16(1), p.S16(0));
            return true;
        case kSaveDc:
            if (saved_.size() < limits_.maxSaveDepth) saved_.push_back(s_);
            return true;
        case kRestoreDc:
            if (p.Has(1)) RestoreDc(p.S16(0));
            return true;
        case kIntersectClipRect:
        case kExcludeClipRect:
            ClipRect(p, r.function == kIntersectClipRect);
            return true;
        case kOffsetClipRgn:
            if (p.Has(2) && s_.clipped) {
                // Offsets beyond the picture move the region out of sight; bounding
                // them keeps the region's integer coordinates far from overflow.
                const QPointF d = Map(p.S16(1), p.S16(0)) - Map(0, 0);
                const double limit = image_.width() + image_.height() + 1.0;
                s_.clip.translate(static_cast<int>(std::clamp(std::round(d.x()), -limit, limit)),
                                  static_cast<int>(std::clamp(std::round(d.y()), -limit, limit)));
                s_.clip &= QRegion(image_.rect());
            }
            return true;
        case kSelectClipRegion:
            // Regions are not kept; selecting one lifts the clipping.
            s_.clipped = false;
            s_.clip = QRegion();
            return true;
        default:
            return false;
    }
}

void Player::RestoreDc(int which) {
    // Negative: relative to the newest save; positive: an absolute level.
    std::size_t keep = 0;
    if (which < 0) {
        const std::size_t back = static_cast<std::size_t>(-which);
        if (back > saved_.size()) return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || static_cast<std::size_t>(which) > saved_.size()) return;
        keep = static_cast<std::size_t>(which) - 1;
    }
    s_ = saved_[keep];
    saved_.resize(keep);
}

void Player::ClipRect(const Params& p, bool intersect) {
    if (!p.Has(4)) return;
    // Only the part over the picture matters, and it converts to integers safely.
    const QRectF over = QRectF(image_.rect()).adjusted(-1, -1, 1, 1);
    const QRect device = MapRect(p.S16(3), p.S16(2), p.S16(1), p.S16(0)).intersected(over).toAlignedRect();
    const QRegion whole(image_.rect());
    const QRegion current = s_.clipped ? s_.clip : whole;
    // Region work grows with the number of rectangles a region is made of.
    if (!Spend({}, static_cast<std::uint64_t>(current.rectCount()))) return;
    s_.clip = intersect ? current.intersected(device) : current.subtracted(device);
    s_.clipped = true;
}

bool Player::DoObjectRecord(const Record& r) {
    const Params& p = r.params;
    switch (r.function) {
        case kCreatePenIndirect:
            if (auto pen = ReadPen(p)) objects_.Add(*pen);
            return true;
        case kCreateBrushIndirect:
            if (auto brush = ReadBrush(p)) objects_.Add(*brush);
            return true;
        case kCreateFontIndirect:
            if (auto font = ReadFont(p)) objects_.Add(*font);
            return true;
        case kDibCreatePatternBrush: {
            // Patterns stay in memory while their objects live; all of them
            // together get no more than one bitmap's allowance.
            const std::uint64_t allowance =
                limits_.maxBitmapPixels > patternPixels_ ? limits_.maxBitmapPixels - patternPixels_ : 0;
            auto brush = ReadDibPatternBrush(p, allowance);
            if (brush) {
                const std::uint64_t pixels = static_cast<std::uint64_t>(brush->pattern.width()) *
                                             static_cast<std::uint64_t>(brush->pattern.height());
                if (!Spend({}, pixels)) return true;
                patternPixels_ += pixels;
            } else {
                // An unreadable pattern still takes its slot; it paints like a grey brush.
                brush = BrushSpec{};
                brush->color = Qt::gray;
            }
            objects_.Add(*brush);
            return true;
        }
        case kCreatePatternBrush:
        case kCreatePalette:
        case kCreateRegion:
            objects_.Add(OtherObject{});
            return true;
        case kSelectObject:
        case kDeleteObject: {
            if (!p.Has(1)) return true;
            const std::size_t index = p.U16(0);
            if (!objects_.InRange(index)) {
                Fail();
                return true;
            }
            if (r.function == kDeleteObject) {
                objects_.Remove(index);
                return true;
            }
            const GdiObject* object = objects_.Get(index);
            if (object == nullptr) return true;
            if (const auto* pen = std::get_if<PenSpec>(object)) s_.pen = *pen;
            if (const auto* brush = std::get_if<BrushSpec>(object)) s_.brush = *brush;
            if (const auto* font = std::get_if<FontSpec>(object)) s_.font = *font;
            return true;
        }
        default:
            return false;
    }
}

void Player::ScaleExtent(QPointF& extent, const Params& p) {
    // Extents are integers, as in GDI: a scaling that truncates one to 0 is
    // refused. They stay within 2^24, so mapped coordinates stay finite.
    constexpr double kMaxExtent = 16.0 * 1024 * 1024;
    const int xNum = p.S16(3), xDenom = p.S16(2), yNum = p.S16(1), yDenom = p.S16(0);
    if (xNum == 0 || xDenom == 0 || yNum == 0 || yDenom == 0) return;
    const double x = std::clamp(std::trunc(extent.x() * xNum / xDenom), -kMaxExtent, kMaxExtent);
    const double y = std::clamp(std::trunc(extent.y() * yNum / yDenom), -kMaxExtent, kMaxExtent);
    if (x == 0 || y == 0) return;
    extent = QPointF(x, y);
}

double Player::ScaleX() const {
    return s_.vpExt.x() / s_.winExt.x();
}
double Player::ScaleY() const {
    return s_.vpExt.y() / s_.winExt.y();
}

QPointF Player::Map(double x, double y) const {
    return {(x - s_.winOrg.x()) * ScaleX() + s_.vpOrg.x(), (y - s_.winOrg.y()) * ScaleY() + s_.vpOrg.y()};
}

QRectF Player::MapRect(double left, double top, double right, double bottom) const {
    return QRectF(Map(left, top), Map(right, bottom)).normalized();
}

double Player::PenWidth() const {
    return std::abs(s_.pen.width * ScaleX());
}

QPen Player::MakePen() const {
    const int style = s_.pen.style & 0x0F;
    if (style == kPsNull) return Qt::NoPen;
    const double width = PenWidth();
    QPen pen(s_.pen.color, width < 1.5 ? 0.0 : width);  // 0: one device pixel
    static constexpr Qt::PenCapStyle kCaps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle kJoins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    pen.setCapStyle(kCaps[std::min((s_.pen.style >> 8) & 0x0F, 2)]);
    pen.setJoinStyle(kJoins[std::min((s_.pen.style >> 12) & 0x0F, 2)]);
    // Styled lines exist only for thin pens; wide ones draw solid.
    if (width < 1.5) {
        switch (style) {
            case kPsDash:
                pen.setDashPattern({18, 6});
                break;
            case kPsDot:
                pen.setDashPattern({3, 3});
                break;
            case kPsDashDot:
                pen.setDashPattern({9, 6, 3, 6});
                break;
            case kPsDashDotDot:
                pen.setDashPattern({9, 3, 3, 3, 3, 3});
                break;
            default:
                break;
        }
    }
    return pen;
}

QBrush Player::MakeBrush() const {
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (s_.brush.style) {
        case kBsSolid:
            return QBrush(s_.brush.color);
        case kBsHatched:
            return QBrush(s_.brush.color, kHatches[std::min(s_.brush.hatch, 5)]);
        case kBsDibPattern:
            return s_.brush.pattern.isNull() ? QBrush(Qt::gray) : QBrush(s_.brush.pattern);
        default:
            return Qt::NoBrush;
    }
}

bool Player::PreparePainter(bool withPen, bool withBrush) {
    if (s_.clipped) {
        if (!Spend({}, static_cast<std::uint64_t>(s_.clip.rectCount()))) return false;
        painter_.setClipRegion(s_.clip);
    } else {
        painter_.setClipping(false);
    }
    QPen pen = withPen ? MakePen() : QPen(Qt::NoPen);
    QBrush brush = withBrush ? MakeBrush() : QBrush(Qt::NoBrush);
    // The binary raster operation (ROP2) of pen and brush.
    if (s_.rop2 == 11) return false;      // R2_NOP
    if (s_.rop2 == 1 || s_.rop2 == 16) {  // R2_BLACK, R2_WHITE
        pen.setColor(s_.rop2 == 1 ? Qt::black : Qt::white);
        if (brush.style() != Qt::NoBrush) brush = QBrush(s_.rop2 == 1 ? Qt::black : Qt::white);
    }
    painter_.setCompositionMode(
        platform::CompositionModeOfRop2(s_.rop2, QPainter::CompositionMode_SourceOver));
    painter_.setPen(pen);
    painter_.setBrush(brush);
    painter_.setBackground(s_.bkColor);
    painter_.setBackgroundMode(s_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    return pen.style() != Qt::NoPen || brush.style() != Qt::NoBrush;
}

bool Player::Spend(const QRectF& deviceBounds, std::uint64_t extra, std::uint64_t weight) {
    std::uint64_t cost = extra + 1;
    if (!deviceBounds.isNull()) {
        if (!(std::abs(deviceBounds.left()) < kMaxDeviceCoordinate &&
              std::abs(deviceBounds.right()) < kMaxDeviceCoordinate &&
              std::abs(deviceBounds.top()) < kMaxDeviceCoordinate &&
              std::abs(deviceBounds.bottom()) < kMaxDeviceCoordinate)) {
            return false;  // skip this call; the file goes on
        }
        const QRectF visible = deviceBounds.intersected(QRectF(image_.rect()));
        cost += weight * static_cast<std::uint64_t>(std::max(0.0, visible.width() + 1) *
                                                    std::max(0.0, visible.height() + 1));
    }
    if (cost > budget_) {
        budget_ = 0;
        Fail();
        return false;
    }
    budget_ -= cost;
    return true;
}

}  // namespace wmf
