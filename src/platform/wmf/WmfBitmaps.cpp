// Bitmap records of the metafile player: DIB bit-block transfers with and
// without stretching, and the forms of those records that carry no bitmap
// and only fill with the brush.
#include <algorithm>
#include <cmath>

#include "platform/wmf/WmfDib.h"
#include "platform/wmf/WmfPlayer.h"
#include "platform/wmf/WmfRecordTypes.h"

namespace wmf {
namespace {

constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kSrcAnd = 0x008800C6;
constexpr std::uint32_t kSrcPaint = 0x00EE0086;
constexpr std::uint32_t kSrcInvert = 0x00660046;
constexpr std::uint32_t kNotSrcCopy = 0x00330008;
constexpr std::uint32_t kSrcErase = 0x00440328;
constexpr std::uint32_t kNotSrcErase = 0x001100A6;
constexpr std::uint32_t kMergePaint = 0x00BB0226;

// A ternary raster operation uses the source when its result table (bit
// P*4 + S*2 + D) differs between source 1 and source 0 somewhere.
bool UsesSource(std::uint32_t rop) {
    const std::uint32_t code = (rop >> 16) & 0xFF;
    return ((code >> 2) & 0x33) != (code & 0x33);
}

QPainter::CompositionMode SourceMode(std::uint32_t rop) {
    switch (rop) {
        case kSrcAnd:
            return QPainter::RasterOp_SourceAndDestination;
        case kSrcPaint:
            return QPainter::RasterOp_SourceOrDestination;
        case kSrcInvert:
            return QPainter::RasterOp_SourceXorDestination;
        case kNotSrcCopy:
            return QPainter::RasterOp_NotSource;
        case kSrcErase:
            return QPainter::RasterOp_SourceAndNotDestination;
        case kNotSrcErase:
            return QPainter::RasterOp_NotSourceAndNotDestination;
        case kMergePaint:
            return QPainter::RasterOp_NotSourceOrDestination;
        case kSrcCopy:
        default:
            return QPainter::CompositionMode_Source;
    }
}

}  // namespace

bool Player::DoBitmapRecord(const Record& r) {
    const Params& p = r.params;
    switch (r.function) {
        case kDibBitBlt: {
            if (p.Words() == 9) {  // no bitmap: a pattern fill
                const double x = p.S16(8), y = p.S16(7);
                PatternBlt(MapRect(x, y, x + p.S16(6), y + p.S16(5)), p.U32(0));
                return true;
            }
            if (!p.Has(9)) return true;
            const double w = p.S16(5), h = p.S16(4);
            DrawDib(p.From(8), false, QRectF(p.S16(3), p.S16(2), w, h), false,
                    QRectF(p.S16(7), p.S16(6), w, h), p.U32(0));
            return true;
        }
        case kDibStretchBlt: {
            if (p.Words() == 11) {
                const double x = p.S16(10), y = p.S16(9);
                PatternBlt(MapRect(x, y, x + p.S16(8), y + p.S16(7)), p.U32(0));
                return true;
            }
            if (!p.Has(11)) return true;
            DrawDib(p.From(10), false, QRectF(p.S16(5), p.S16(4), p.S16(3), p.S16(2)), false,
                    QRectF(p.S16(9), p.S16(8), p.S16(7), p.S16(6)), p.U32(0));
            return true;
        }
        case kStretchDib: {
            if (!p.Has(12)) return true;
            DrawDib(p.From(11), p.U16(2) == 1, QRectF(p.S16(6), p.S16(5), p.S16(4), p.S16(3)), true,
                    QRectF(p.S16(10), p.S16(9), p.S16(8), p.S16(7)), p.U32(0));
            return true;
        }
        case kSetDibToDev: {
            if (!p.Has(10)) return true;
            const double w = p.S16(6), h = p.S16(5);
            DrawDib(p.From(9), p.U16(0) == 1, QRectF(p.S16(4), p.S16(3), w, h), true,
                    QRectF(p.S16(8), p.S16(7), w, h), kSrcCopy);
            return true;
        }
        default:
            return false;
    }
}

void Player::DrawDib(std::span<const std::uint8_t> dib, bool paletteIndices, QRectF src, bool srcFromBottom,
                     const QRectF& logicalDest, std::uint32_t rop) {
    const QPointF a = Map(logicalDest.left(), logicalDest.top());
    const QPointF b = Map(logicalDest.left() + logicalDest.width(), logicalDest.top() + logicalDest.height());
    const QRectF target = QRectF(a, b).normalized();
    if (!UsesSource(rop)) {
        PatternBlt(target, rop);
        return;
    }
    const auto pixels = DecodeDib(dib, paletteIndices, limits_.maxBitmapPixels);
    if (!pixels) return;
    if (!Spend({}, 2 * pixels->pixels.size())) return;  // decoding and copying

    // Source rectangles of the DIB records count rows from the bottom of a
    // bottom-up bitmap; those of the blit records from the top.
    src = src.normalized();
    if (srcFromBottom && pixels->bottomUp) src.moveTop(pixels->height - src.top() - src.height());
    const QRect source = src.toAlignedRect().intersected(QRect(0, 0, pixels->width, pixels->height));
    if (source.isEmpty() || target.width() < 0.5 || target.height() < 0.5) return;
    const std::uint64_t sourcePixels =
        static_cast<std::uint64_t>(source.width()) * static_cast<std::uint64_t>(source.height());
    if (!Spend(target, sourcePixels, 2)) return;  // scaled drawing

    // The decoded pixels are shown to Qt in place; only a part is copied.
    const QImage whole(reinterpret_cast<const uchar*>(pixels->pixels.data()), pixels->width, pixels->height,
                       static_cast<qsizetype>(pixels->width) * 4, QImage::Format_RGB32);
    QImage piece = source == whole.rect() ? whole : whole.copy(source);
    // A negative extent on either side mirrors the picture.
    if ((b.x() < a.x()) || (b.y() < a.y())) piece = piece.mirrored(b.x() < a.x(), b.y() < a.y());

    PreparePainter(false, false);
    painter_.setCompositionMode(SourceMode(rop));
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, s_.smoothStretch);
    painter_.drawImage(target, piece);
}

}  // namespace wmf
