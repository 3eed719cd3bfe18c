#include "platform/wmf/WmfObjects.h"

#include <algorithm>

#include "platform/wmf/WmfDib.h"

namespace wmf {

QColor ColorFromRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

QString DecodeText(std::span<const std::uint8_t> bytes) {
    // Windows-1252 differs from Latin-1 only in 0x80..0x9F.
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const std::uint8_t b : bytes) {
        text.append(QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b)));
    }
    return text;
}

std::optional<PenSpec> ReadPen(const Params& p) {
    if (!p.Has(5)) return std::nullopt;
    PenSpec pen;
    pen.style = p.U16(0);
    pen.width = p.S16(1);
    pen.color = ColorFromRef(p.U32(3));
    return pen;
}

std::optional<BrushSpec> ReadBrush(const Params& p) {
    if (!p.Has(3)) return std::nullopt;
    BrushSpec brush;
    brush.style = p.U16(0);
    brush.color = ColorFromRef(p.U32(1));
    brush.hatch = p.U16(3);
    // Pattern brushes need a bitmap, which this record does not carry.
    if (brush.style == kBsPattern || brush.style == kBsDibPattern) brush.style = kBsSolid;
    return brush;
}

std::optional<FontSpec> ReadFont(const Params& p) {
    if (!p.Has(9)) return std::nullopt;
    FontSpec font;
    font.height = p.S16(0);
    font.width = p.S16(1);
    font.escapement = p.S16(2);
    font.weight = p.S16(4);
    const auto flags = p.From(5);  // italic, underline, strike-out, charset, ...
    font.italic = flags[0] != 0;
    font.underline = flags[1] != 0;
    font.strikeOut = flags[2] != 0;
    font.charset = flags[3];
    const auto name = p.From(9);
    const std::size_t maxLen = std::min<std::size_t>(name.size(), 32);
    std::size_t len = 0;
    while (len < maxLen && name[len] != 0) ++len;
    if (len > 0) font.face = DecodeText(name.first(len));
    return font;
}

std::optional<BrushSpec> ReadDibPatternBrush(const Params& p, std::uint64_t maxPixels) {
    if (!p.Has(2)) return std::nullopt;
    const bool paletteIndices = p.U16(1) == 1 && p.U16(0) != kBsPattern;
    const auto dib = DecodeDib(p.From(2), paletteIndices, maxPixels);
    if (!dib) return std::nullopt;
    QImage image(dib->width, dib->height, QImage::Format_RGB32);
    for (int y = 0; y < dib->height; ++y) {
        std::copy_n(dib->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(dib->width),
                    dib->width, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    BrushSpec brush;
    brush.style = kBsDibPattern;
    brush.pattern = std::move(image);
    return brush;
}

bool ObjectTable::Add(GdiObject object) {
    std::size_t index = usedTop_;
    if (!freed_.empty()) {
        index = *freed_.begin();
        freed_.erase(freed_.begin());
    } else if (usedTop_ < slots_.size()) {
        ++usedTop_;
    } else {
        return false;
    }
    slots_[index] = std::move(object);
    return true;
}

const GdiObject* ObjectTable::Get(std::size_t index) const {
    const auto& slot = slots_[index];
    return slot ? &*slot : nullptr;
}

void ObjectTable::Remove(std::size_t index) {
    if (!slots_[index]) return;
    slots_[index].reset();
    freed_.insert(index);
}

}  // namespace wmf
