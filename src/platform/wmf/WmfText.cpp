// Text records of the metafile player: fonts, alignment to the reference
// point, per-character advances, opaque and clipping rectangles.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "platform/wmf/WmfPlayer.h"

namespace wmf {
namespace {

constexpr std::uint16_t kEtoOpaque = 0x0002;
constexpr std::uint16_t kEtoClipped = 0x0004;
constexpr std::uint16_t kTaUpdateCp = 0x0001;
constexpr std::uint16_t kTaHorizontal = 0x0006;  // left 0, right 2, centre 6
constexpr std::uint16_t kTaRight = 0x0002;
constexpr std::uint16_t kTaCenter = 0x0006;
constexpr std::uint16_t kTaVertical = 0x0018;  // top 0, bottom 8, baseline 24
constexpr std::uint16_t kTaBottom = 0x0008;
constexpr std::uint16_t kTaBaseline = 0x0018;
constexpr double kMaxFontPixels = 4096;
constexpr double kDefaultFontPixels = 16;
// Glyphs this large are drawn without antialiasing: far cheaper, and at such
// sizes the edges hardly show the difference.
constexpr int kAntialiasedFontPixels = 256;
constexpr std::uint64_t kGlyphPixelWeight = 4;

int ClampPixels(double pixels) {
    return static_cast<int>(std::lround(std::clamp(pixels, 1.0, kMaxFontPixels)));
}

}  // namespace

QFont Player::MakeFont() const {
    QFont font(s_.font.face);
    const double height = std::abs(s_.font.height * ScaleY());
    font.setPixelSize(ClampPixels(s_.font.height == 0 ? kDefaultFontPixels : height));
    if (s_.font.height > 0) {
        // A positive height is the cell height (ascent + descent), not the em.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0) font.setPixelSize(ClampPixels(height * height / cell));
    }
    if (font.pixelSize() > kAntialiasedFontPixels) font.setStyleStrategy(QFont::NoAntialias);
    const int weight = s_.font.weight <= 0 ? 400 : std::min(s_.font.weight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(s_.font.italic);
    font.setUnderline(s_.font.underline);
    font.setStrikeOut(s_.font.strikeOut);
    if (s_.font.width != 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::abs(s_.font.width * ScaleX());
        if (average > 0)
            font.setStretch(static_cast<int>(std::lround(std::clamp(100 * wanted / average, 1.0, 4000.0))));
    }
    return font;
}

void Player::TextOut(const Params& p) {
    if (!p.Has(1)) return;
    const std::size_t length = p.U16(0);
    const std::size_t textWords = (length + 1) / 2;
    if (!p.Has(1 + textWords + 2)) return;
    const auto text = p.From(1).first(length);
    DrawText(QPointF(p.S16(2 + textWords), p.S16(1 + textWords)), text, {}, 0, nullptr);
}

void Player::ExtTextOut(const Params& p) {
    if (!p.Has(4)) return;
    const QPointF at(p.S16(1), p.S16(0));
    const std::size_t length = p.U16(2);
    const std::uint16_t options = p.U16(3);
    std::size_t word = 4;
    QRectF rect;
    const bool hasRect = (options & (kEtoOpaque | kEtoClipped)) != 0;
    if (hasRect) {
        if (!p.Has(8)) return;
        rect = QRectF(QPointF(p.S16(4), p.S16(5)), QPointF(p.S16(6), p.S16(7)));
        word = 8;
    }
    const std::size_t textWords = (length + 1) / 2;
    if (!p.Has(word + textWords)) return;
    const auto text = length == 0 ? std::span<const std::uint8_t>() : p.From(word).first(length);
    word += textWords;
    std::span<const std::uint8_t> dx;
    if (length > 0 && p.Has(word + length)) dx = p.From(word).first(2 * length);
    DrawText(at, text, dx, options, hasRect ? &rect : nullptr);
}

void Player::DrawText(QPointF logical, std::span<const std::uint8_t> text, std::span<const std::uint8_t> dx,
                      std::uint16_t options, const QRectF* logicalRect) {
    // Fonts need the GUI application; without one (a console tool) text is left out.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    const bool updateCp = (s_.textAlign & kTaUpdateCp) != 0;
    if (updateCp) logical = s_.position;
    const QPointF ref = Map(logical.x(), logical.y());
    const QString str = DecodeText(text);
    const QFont font = MakeFont();
    const QFontMetricsF fm(font);

    // Advances: from the record when it has them, else from the font.
    std::vector<double> advances;
    double total = 0;
    double reachLeft = 0;  // extent of the character positions around the start
    double reachRight = 0;
    if (!dx.empty()) {
        const double sx = std::abs(ScaleX());
        for (std::size_t i = 0; i < text.size(); ++i) {
            advances.push_back(static_cast<std::int16_t>(ReadU16(dx, 2 * i)) * sx);
            total += advances.back();
            reachLeft = std::min(reachLeft, total);
            reachRight = std::max(reachRight, total);
        }
    } else {
        total = fm.horizontalAdvance(str);
        reachRight = total;
    }

    double x0 = 0;
    if ((s_.textAlign & kTaHorizontal) == kTaCenter) {
        x0 = -total / 2;
    } else if ((s_.textAlign & kTaHorizontal) == kTaRight) {
        x0 = -total;
    }
    double baseline = fm.ascent();
    if ((s_.textAlign & kTaVertical) == kTaBaseline) {
        baseline = 0;
    } else if ((s_.textAlign & kTaVertical) == kTaBottom) {
        baseline = -fm.descent();
    }
    if (updateCp && (s_.textAlign & kTaHorizontal) == 0 && ScaleX() != 0) {
        s_.position.rx() += total / std::abs(ScaleX()) * (ScaleX() < 0 ? -1 : 1);
    }

    const QRectF deviceRect = logicalRect ? MapRect(logicalRect->left(), logicalRect->top(),
                                                    logicalRect->right(), logicalRect->bottom())
                                          : QRectF();
    // Charge the box the glyphs can cover (with room for overhangs), turned
    // with the text; glyphs cost more than plain fills.
    QTransform placement;
    placement.translate(ref.x(), ref.y());
    if (s_.font.escapement != 0) placement.rotate(-s_.font.escapement / 10.0);
    const double margin = fm.maxWidth() + 2;
    const QRectF box(x0 + reachLeft - margin, baseline - fm.ascent() - 2, reachRight - reachLeft + 2 * margin,
                     fm.height() + 4);
    if (!Spend(deviceRect, 0) || !Spend(placement.mapRect(box), text.size(), kGlyphPixelWeight)) return;

    PreparePainter(false, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setBackgroundMode(Qt::TransparentMode);
    if (logicalRect && (options & kEtoOpaque)) painter_.fillRect(deviceRect, s_.bkColor);
    if (logicalRect && (options & kEtoClipped)) painter_.setClipRect(deviceRect, Qt::IntersectClip);
    if (str.isEmpty()) return;

    painter_.save();
    painter_.setTransform(placement);
    if (s_.opaqueBackground) {
        painter_.fillRect(QRectF(x0, baseline - fm.ascent(), total, fm.ascent() + fm.descent()), s_.bkColor);
    }
    painter_.setFont(font);
    painter_.setPen(s_.textColor);
    if (advances.empty()) {
        painter_.drawText(QPointF(x0, baseline), str);
    } else {
        double x = x0;
        for (qsizetype i = 0; i < str.size(); ++i) {
            painter_.drawText(QPointF(x, baseline), QString(str[i]));
            x += advances[static_cast<std::size_t>(i)];
        }
    }
    painter_.restore();
}

}  // namespace wmf
