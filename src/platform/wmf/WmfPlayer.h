// Plays the records of a parsed metafile onto a QImage with QPainter, the way
// GDI plays them onto a device context: a window (logical coordinates) mapped
// onto a viewport (image pixels), the selected pen, brush and font, colours
// and modes, a save/restore stack of that state, and the object table.
//
// Work is bounded: every drawing record is charged with the pixels it can
// touch, and a file that spends its budget stops playing and fails.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRegion>
#include <cstdint>
#include <vector>

#include "platform/wmf/WmfObjects.h"
#include "platform/wmf/WmfReader.h"

namespace wmf {

struct PlayLimits {
    std::uint64_t workBudget = 0;       // pixels that drawing may touch in total
    std::uint64_t maxBitmapPixels = 0;  // largest bitmap a record may carry
    std::size_t maxSaveDepth = 1024;    // deeper saves are ignored
};

// A length or area in pixels as work units; huge values saturate (and the
// drawing they belong to is refused by its bounds anyway).
inline std::uint64_t Cost(double pixels) {
    if (!(pixels > 0)) return 0;
    constexpr double kMax = 4.0 * 1024 * 1024 * 1024 * 1024 * 1024 * 1024;  // 2^62
    return pixels >= kMax ? std::uint64_t{1} << 62 : static_cast<std::uint64_t>(pixels);
}

class Player {
  public:
    // Plays onto the whole of target. window is the logical rectangle that
    // the image shows at the start (the placeable bounding box, or the
    // first window extent at origin 0). With viewportFixed the file's own
    // viewport records are ignored (the placeable header rules).
    Player(QImage& target, std::size_t objectCount, const QRectF& window, bool viewportFixed,
           const PlayLimits& limits);

    // False when the file turned out bad (an object index out of range) or
    // spent its work budget; the image then holds a partial drawing.
    bool Play(const Metafile& mf);

  private:
    struct DcState {
        QPointF winOrg{0, 0};
        QPointF winExt{1, 1};
        QPointF vpOrg{0, 0};
        QPointF vpExt{1, 1};
        PenSpec pen;
        BrushSpec brush;
        FontSpec font;
        QColor bkColor = Qt::white;
        QColor textColor = Qt::black;
        bool opaqueBackground = true;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        int rop2 = 13;  // R2_COPYPEN
        std::uint16_t textAlign = 0;
        bool smoothStretch = false;
        QPointF position{0, 0};  // current position, logical
        bool clipped = false;
        QRegion clip;  // device pixels, when clipped
    };

    void Dispatch(const Record& r);
    // WmfPlayer.cpp: state, mapping and objects.
    bool DoStateRecord(const Record& r);
    bool DoObjectRecord(const Record& r);
    void RestoreDc(int which);
    void ClipRect(const Params& p, bool intersect);
    static void ScaleExtent(QPointF& extent, const Params& p);
    // WmfShapes.cpp
    bool DoShapeRecord(const Record& r);
    void DrawPoly(const Params& p, bool closed);
    void DrawPolyPolygon(const Params& p);
    void DrawArcFamily(const Params& p, int kind);
    void PatternBlt(const QRectF& device, std::uint32_t rop);
    // WmfText.cpp
    void TextOut(const Params& p);
    void ExtTextOut(const Params& p);
    void DrawText(QPointF logical, std::span<const std::uint8_t> text, std::span<const std::uint8_t> dx,
                  std::uint16_t options, const QRectF* logicalRect);
    QFont MakeFont() const;
    // WmfBitmaps.cpp
    bool DoBitmapRecord(const Record& r);
    void DrawDib(std::span<const std::uint8_t> dib, bool paletteIndices, QRectF src, bool srcFromBottom,
                 const QRectF& logicalDest, std::uint32_t rop);

    // Mapping from logical coordinates to image pixels.
    double ScaleX() const;
    double ScaleY() const;
    QPointF Map(double x, double y) const;
    QRectF MapRect(double left, double top, double right, double bottom) const;
    double PenWidth() const;

    // Painter set-up for one drawing call; false when nothing is to be drawn.
    bool PreparePainter(bool withPen, bool withBrush);
    QPen MakePen() const;
    QBrush MakeBrush() const;
    // Charges the pixels a call may touch (its device bounds, clipped to the
    // image) times weight, plus extra; false once the budget is spent or the
    // bounds are absurd. Weights reflect how much dearer a pixel is than a
    // plain fill (antialiased glyphs, scaled bitmaps).
    bool Spend(const QRectF& deviceBounds, std::uint64_t extra = 0, std::uint64_t weight = 1);
    void Fail() { failed_ = true; }

    QImage& image_;
    QPainter painter_;
    DcState s_;
    std::vector<DcState> saved_;
    ObjectTable objects_;
    bool viewportFixed_;
    PlayLimits limits_;
    std::uint64_t budget_;
    std::uint64_t patternPixels_ = 0;
    bool failed_ = false;
};

}  // namespace wmf
