#include "canvas/CanvasSurface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "canvas/CanvasObserver.h"
#include "platform/wmf/Rop2Mode.h"

namespace canvas {

namespace {

// 96 dots per inch, the resolution at which the tools' sizes (pen widths in
// pixels, text in points) are meant.
constexpr int kCanvasDotsPerMeter = 3780;

// The canvas image always works at 96 DPI, whatever resolution the picture
// file recorded: the text tool's points become pixels at the image's own
// resolution, so a 300-dpi scan would otherwise get text three times as tall.
void AtCanvasResolution(QImage& image) {
    image.setDotsPerMeterX(kCanvasDotsPerMeter);
    image.setDotsPerMeterY(kCanvasDotsPerMeter);
}

}  // namespace

Qt::PenStyle PenStyleForDrawStyle(int drawStyle) {
    switch (drawStyle) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

CanvasSurface::CanvasSurface() : block_(std::make_shared<detail::PixelBlock>()) {
    QImage image(1, 1, QImage::Format_RGB32);
    AtCanvasResolution(image);
    image.fill(ToQColor(backColor_));
    block_->image = std::move(image);
}

CanvasSurface::~CanvasSurface() = default;

void CanvasSurface::Replaced(bool newPicture) {
    if (observer_ != nullptr) observer_->CanvasReplaced(newPicture);
}

void CanvasSurface::Changed(const QRect& area) {
    if (observer_ != nullptr && !area.isEmpty()) observer_->CanvasChanged(area);
}

std::shared_ptr<CanvasVersion> CanvasSurface::NewVersion() {
    auto version = std::make_shared<CanvasVersion>(block_, Size());
    const std::lock_guard lock(block_->mutex);
    block_->versions.push_back(version);
    return version;
}

Version CanvasSurface::TakeVersion() {
    return NewVersion();
}

bool CanvasSurface::Shows(const CanvasVersion& version, const QRect& area) const {
    return version.block_ == block_ && !version.OverwrittenIn(area);
}

QImage CanvasSurface::Picture() const {
    return picture_ ? picture_->ToImage() : QImage();
}

void CanvasSurface::ReplaceBuffer(QImage image) {
    // The old block stays with the versions taken on it; nothing writes into
    // it any more.
    block_ = std::make_shared<detail::PixelBlock>();
    block_->image = std::move(image);
}

bool CanvasSurface::WillWrite(const QRect& area) {
    const std::lock_guard lock(block_->mutex);
    // A buffer still shared with an image somebody holds becomes the
    // buffer's own before the write, under the lock the versions read with.
    (void)block_->image.bits();
    const QRect inside = area & block_->image.rect();
    if (inside.isEmpty()) return true;
    auto& versions = block_->versions;
    detail::TileCopies copies(block_->image, inside);
    try {
        for (auto it = versions.begin(); it != versions.end();) {
            if (const std::shared_ptr<CanvasVersion> version = it->lock()) {
                version->KeepTiles(inside, copies);
                ++it;
            } else {
                it = versions.erase(it);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;  // some version lacks an original: nothing may be written
    }
    return true;
}

QImage* CanvasSurface::WritableImage(const QRect& area) {
    if (!WillWrite(area)) return nullptr;
    return &block_->image;
}

void CanvasSurface::RevertTo(CanvasVersion& version) {
    if (version.keptCount_ == 0) return;
    QImage& image = block_->image;
    for (int ty = 0; ty < version.tilesY_; ++ty) {
        for (int tx = 0; tx < version.tilesX_; ++tx) {
            auto& tile = version.kept_[static_cast<std::size_t>(version.TileIndex(tx, ty))];
            if (!tile) continue;
            const QRect cell = QRect(tx * kTileSize, ty * kTileSize, kTileSize, kTileSize) & image.rect();
            // The other versions keep what the revert overwrites.
            if (!WillWrite(cell)) continue;
            const std::lock_guard lock(block_->mutex);
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                std::memcpy(image.scanLine(y) + std::ptrdiff_t{4} * cell.left(),
                            &tile[static_cast<std::size_t>(y - cell.top()) * kTileSize],
                            std::size_t{4} * static_cast<std::size_t>(cell.width()));
            }
            // The buffer shows the version's pixels here again.
            tile.reset();
            --version.keptCount_;
        }
    }
}

void CanvasSurface::Resize(QSize size) {
    size = size.expandedTo(QSize(1, 1));
    if (Size() == size) return;
    QImage grown(size, QImage::Format_RGB32);
    if (grown.isNull()) return;  // out of memory: keep the old buffer
    AtCanvasResolution(grown);
    grown.fill(ToQColor(backColor_));
    {
        QPainter painter(&grown);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, block_->image);
    }
    ReplaceBuffer(std::move(grown));
    Replaced();
}

bool CanvasSurface::SetPicture(QImage picture) {
    if (picture.isNull()) {
        picture_.reset();
        pictureConst_.reset();
        Cls();
        return true;
    }
    // Converted before anything changes: when memory runs out the surface
    // keeps its picture and what was drawn on it. An RGB32 picture is only
    // shared.
    if (picture.format() != QImage::Format_RGB32) {
        picture = std::move(picture).convertToFormat(QImage::Format_RGB32);
        if (picture.isNull()) return false;
    }
    // Set before the buffer takes the pixels (setting it on a shared image
    // would copy them); costs nothing when the picture is already at 96 DPI.
    AtCanvasResolution(picture);
    ReplaceBuffer(std::move(picture));
    picture_ = NewVersion();
    pictureConst_ = picture_;
    Replaced(true);
    return true;
}

void CanvasSurface::Cls() {
    if (picture_ && picture_->block_ == block_) {
        // The picture covers the whole buffer: it is put back where drawn.
        RevertTo(*picture_);
    } else {
        QImage cleared(Size(), QImage::Format_RGB32);
        if (cleared.isNull()) return;
        AtCanvasResolution(cleared);
        cleared.fill(ToQColor(backColor_));
        if (picture_) {
            QPainter painter(&cleared);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, picture_->ToImage());
        }
        ReplaceBuffer(std::move(cleared));
    }
    current_ = QPointF();
    Replaced();
}

void CanvasSurface::SetBackColor(COLORREF color) {
    backColor_ = color;
    Cls();
}

// --- drawing -------------------------------------------------------------------

void CanvasSurface::PreparePen(QPainter& painter, COLORREF color, bool fill) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(color));
    pen.setWidth(std::max(pen_.DrawWidth, 1));
    pen.setStyle(pen_.DrawWidth > 1 && pen_.DrawStyle != 5 ? Qt::SolidLine
                                                           : PenStyleForDrawStyle(pen_.DrawStyle));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(fill ? QBrush(ToQColor(pen_.FillColor)) : Qt::NoBrush);
    painter.setCompositionMode(
        platform::CompositionModeOfRop2(pen_.DrawMode, QPainter::CompositionMode_Source));
}

QRect CanvasSurface::PenBounds(QRectF shape) const {
    const double pad = std::max(pen_.DrawWidth, 1) / 2.0 + 2.0;
    return shape.normalized().adjusted(-pad, -pad, pad, pad).toAlignedRect();
}

namespace {

// The longest piece of a line or outline announced at once.
constexpr double kPieceLength = 2.0 * kTileSize;

}  // namespace

// A long slanted line crosses few of the tiles inside its bounding box, and
// the versions keep a copy of every tile announced: the line is announced in
// pieces, each padded by the pen, which together cover every pixel the line
// can reach (round caps and joins reach no further than half the pen).
std::optional<QRect> CanvasSurface::WillWriteLine(QPointF a, QPointF b) {
    const QPointF step = b - a;
    const int pieces = std::max(
        1, static_cast<int>(std::ceil(std::max(std::abs(step.x()), std::abs(step.y())) / kPieceLength)));
    QRect changed;
    for (int i = 0; i < pieces; ++i) {
        const QPointF from = a + step * (static_cast<double>(i) / pieces);
        const QPointF to = i + 1 == pieces ? b : a + step * (static_cast<double>(i + 1) / pieces);
        const QRect bounds = PenBounds(QRectF(from, to));
        if (!WillWrite(bounds)) return std::nullopt;
        changed |= bounds;
    }
    return changed;
}

// An outline likewise crosses few of the tiles inside its box. Within a
// quadrant both coordinates of the outline move one way, so the end points of
// a piece of it bound the piece. Qt draws the outline from cubic curves that
// stray from the true ellipse by far less than a thousandth of its size;
// each piece is widened by that much besides the pen.
std::optional<QRect> CanvasSurface::WillWriteEllipse(const QRectF& box, bool filled) {
    const QRectF inside = box.normalized();
    const double a = inside.width() / 2;
    const double b = inside.height() / 2;
    const double longer = std::max(a, b);
    if (filled || longer <= kPieceLength) {
        const QRect bounds = PenBounds(inside);
        return WillWrite(bounds) ? std::optional(bounds) : std::nullopt;
    }
    const double stray = 1.0 + longer / 1000;
    const QPointF centre = inside.center();
    const auto at = [&](double t) { return centre + QPointF(a * std::cos(t), b * std::sin(t)); };
    constexpr double kQuarter = 1.5707963267948966;
    const int pieces = static_cast<int>(std::ceil(longer * kQuarter / kPieceLength));
    QRect changed;
    for (int q = 0; q < 4; ++q) {
        for (int i = 0; i < pieces; ++i) {
            const QRectF piece(at(kQuarter * (q + static_cast<double>(i) / pieces)),
                               at(kQuarter * (q + static_cast<double>(i + 1) / pieces)));
            const QRect bounds = PenBounds(piece.normalized().adjusted(-stray, -stray, stray, stray));
            if (!WillWrite(bounds)) return std::nullopt;
            changed |= bounds;
        }
    }
    return changed;
}

QRect CanvasSurface::Line(QPointF a, QPointF b) {
    return Line(a, b, pen_.ForeColor);
}

QRect CanvasSurface::Line(QPointF a, QPointF b, COLORREF color) {
    const std::optional<QRect> bounds = WillWriteLine(a, b);
    if (!bounds) return {};
    {
        QPainter painter(&block_->image);
        PreparePen(painter, color, false);
        painter.drawLine(a, b);
    }
    current_ = b;
    Changed(*bounds);
    return *bounds;
}

QRect CanvasSurface::Print(const QString& text) {
    const QPointF at = current_;
    const QFontMetricsF metrics(font_, &block_->image);
    // The ink can reach past the advance (a bold glyph's overhang): the
    // glyphs' own bounds count too.
    const QRectF advance(at, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    const QRectF ink = metrics.boundingRect(text).translated(at.x(), at.y() + metrics.ascent());
    const QRect bounds = (advance | ink).toAlignedRect().adjusted(-2, -2, 2, 2);
    QImage* image = WritableImage(bounds);
    if (image == nullptr) return {};
    {
        QPainter painter(image);
        painter.setFont(font_);
        painter.setPen(ToQColor(pen_.ForeColor));
        painter.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
    }
    current_ = QPointF(0, at.y() + metrics.height());
    Changed(bounds);
    return bounds;
}

}  // namespace canvas
