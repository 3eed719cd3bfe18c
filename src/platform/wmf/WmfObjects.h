// The graphics objects a metafile creates (pens, brushes, fonts) as plain
// values, read from their creation records, and the object table that the
// select and delete records index.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <variant>
#include <vector>

#include "platform/wmf/WmfReader.h"

namespace wmf {

// Pen styles, brush styles and hatches as numbered in the file format.
enum PenStyle { kPsSolid = 0, kPsDash, kPsDot, kPsDashDot, kPsDashDotDot, kPsNull, kPsInsideFrame };
enum BrushStyle { kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3, kBsDibPattern = 5 };

struct PenSpec {
    int style = kPsSolid;  // low byte: line style; higher bits: end cap and join
    int width = 0;         // logical units; 0 is one device pixel
    QColor color = Qt::black;
};

struct BrushSpec {
    int style = kBsSolid;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;  // for pattern brushes
};

struct FontSpec {
    int height = 0;  // logical units; < 0 character height, > 0 cell height, 0 default
    int width = 0;
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    QString face = QStringLiteral("Arial");
};

// A slot of the object table. Palettes and regions take a slot too, so that
// later indexes stay right, but they are not drawn with.
struct OtherObject {};
using GdiObject = std::variant<OtherObject, PenSpec, BrushSpec, FontSpec>;

QColor ColorFromRef(std::uint32_t colorRef);
// Text of a record in the font's 8-bit character set (Windows-1252 for the
// usual ANSI fonts).
QString DecodeText(std::span<const std::uint8_t> bytes);

std::optional<PenSpec> ReadPen(const Params& p);
std::optional<BrushSpec> ReadBrush(const Params& p);
std::optional<FontSpec> ReadFont(const Params& p);
// A brush from a DIB pattern brush record; maxPixels bounds the bitmap.
std::optional<BrushSpec> ReadDibPatternBrush(const Params& p, std::uint64_t maxPixels);

// The table of created objects: a new object takes the lowest free slot,
// deletion frees it. Its size is fixed by the metafile header.
class ObjectTable {
  public:
    explicit ObjectTable(std::size_t size) : slots_(size) {}

    // False when the table is full (the object is dropped, as GDI does).
    bool Add(GdiObject object);
    // nullptr for an empty slot; index must be InRange.
    const GdiObject* Get(std::size_t index) const;
    void Remove(std::size_t index);
    bool InRange(std::size_t index) const { return index < slots_.size(); }

  private:
    std::vector<std::optional<GdiObject>> slots_;
    // Slots at or above usedTop_ have never been used; freed slots below it
    // wait in freed_, so finding the lowest free slot stays cheap however
    // many objects a file makes and deletes.
    std::size_t usedTop_ = 0;
    std::set<std::size_t> freed_;
};

}  // namespace wmf
