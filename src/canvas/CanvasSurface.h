// The canvas: an assigned picture and a persistent back buffer (RGB32) that
// holds the picture with everything drawn on it, a pen kept from one stroke
// to the next, the text font and the current drawing position. It is not a
// widget: a CanvasView shows it, and tools and commands draw on it and read it
// without any window.
//
// The buffer is the one full copy of the picture. The assigned picture, the
// eraser's reference and the undo snapshots are versions of it
// (CanvasVersion), which keep only what a drawing overwrote since they were
// taken. Every write therefore goes through the surface: drawing calls return
// the picture pixels they may have changed, and code that paints into the
// buffer by its own means asks for it with the area it will write
// (WritableImage) and reports the area afterwards (Changed). The view
// repaints exactly those areas, which keeps an 8K picture cheap to draw on.
//
// Everything is in picture pixels.
#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <optional>

#include "canvas/CanvasVersion.h"
#include "canvas/PenState.h"
#include "widgets/ColorRef.h"

class QPainter;

namespace canvas {

class CanvasObserver;

class CanvasSurface {
  public:
    CanvasSurface();
    ~CanvasSurface();
    CanvasSurface(const CanvasSurface&) = delete;
    CanvasSurface& operator=(const CanvasSurface&) = delete;

    // --- picture and back buffer -------------------------------------------
    // The assigned picture (null when there is none). While nothing was drawn
    // it shares the buffer's pixels, so hold it only briefly.
    QImage Picture() const;
    // The assigned picture as a version (null when there is none).
    const Version& PictureVersion() const { return pictureConst_; }
    // The buffer as it is now, as a version: an undo snapshot.
    Version TakeVersion();
    // Whether the buffer shows `version` unchanged in `area`: a version of
    // this buffer that no drawing went over there since it was taken.
    bool Shows(const CanvasVersion& version, const QRect& area) const;
    // The persistent image (Format_RGB32), never null.
    const QImage& Image() const { return block_->image; }
    QSize Size() const { return block_->image.size(); }
    // Assigns a picture: the buffer takes its size and becomes the picture,
    // without a copy when the caller hands over the only reference. A picture
    // of another format is converted to RGB32. A null image removes the
    // picture and clears the buffer to the background, keeping the size.
    // False (surface unchanged) when the conversion runs out of memory.
    bool SetPicture(QImage picture);
    // Clears what was drawn: background colour plus the assigned picture.
    void Cls();
    // Resizes the buffer; what was drawn stays, new area gets the background.
    // Out of memory: the buffer keeps its size.
    void Resize(QSize pixels);

    COLORREF BackColor() const { return backColor_; }
    // Changing the background colour also clears the buffer (as Cls).
    void SetBackColor(COLORREF color);

    // --- pen, font, drawing position ------------------------------------------
    const PenState& Pen() const { return pen_; }
    void SetPen(const PenState& pen) { pen_ = pen; }
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font) { font_ = font; }
    QPointF CurrentPosition() const { return current_; }
    void SetCurrentPosition(QPointF at) { current_ = at; }

    // --- drawing -----------------------------------------------------------
    // Line from a to b in the pen colour, or in the colour given; the current
    // position moves to b.
    QRect Line(QPointF a, QPointF b);
    QRect Line(QPointF a, QPointF b, COLORREF color);
    // Draws text at the current position in the font and the pen colour, with
    // no background; the current position moves to the start of the next line.
    QRect Print(const QString& text);

    // Sets up `painter` with the pen: `color`, DrawWidth and DrawStyle (wide
    // pens are always solid), round caps and joins, FillColor when `fill`,
    // and DrawMode as the raster operation.
    void PreparePen(QPainter& painter, COLORREF color, bool fill) const;
    // The pixels that drawing `shape` with the pen can change: the shape
    // padded by half the pen width and two pixels more.
    QRect PenBounds(QRectF shape) const;
    // Announce a line from a to b, or the outline of an ellipse inside `box`
    // (its whole box when filled), about to be drawn with the pen: the
    // versions keep the tiles along it. The pixels it can change, or nothing
    // when the drawing must not happen (as WillWrite).
    std::optional<QRect> WillWriteLine(QPointF a, QPointF b);
    std::optional<QRect> WillWriteEllipse(const QRectF& box, bool filled);

    // --- writes by other means ------------------------------------------------
    // The buffer, for a write into `area` (and nowhere else) that follows at
    // once; report it with Changed() when done. Null when the write must not
    // happen: the versions could not keep what it overwrites (no memory).
    QImage* WritableImage(const QRect& area);
    // Announces a further write into `area` through a painter already open on
    // the buffer that WritableImage() gave; false when it must not happen.
    bool WillWrite(const QRect& area);
    // Pixels written since WritableImage(); the view repaints them.
    void Changed(const QRect& area);

    // The view that shows the surface (one at most; nullptr for none).
    void SetObserver(CanvasObserver* observer) { observer_ = observer; }

  private:
    void Replaced(bool newPicture = false);
    // The buffer becomes `image`; the versions taken so far keep the old one.
    void ReplaceBuffer(QImage image);
    // Puts the pixels `version` kept back into the buffer (it is a version of
    // the buffer): the buffer shows the version again.
    void RevertTo(CanvasVersion& version);
    std::shared_ptr<CanvasVersion> NewVersion();

    std::shared_ptr<detail::PixelBlock> block_;
    std::shared_ptr<CanvasVersion> picture_;
    Version pictureConst_;
    COLORREF backColor_ = 0x00FFFFFF;
    PenState pen_;
    QFont font_;
    QPointF current_;
    CanvasObserver* observer_ = nullptr;
};

// Puts the canvas pen back as it was when the saver was made.
class PenSaver {
  public:
    explicit PenSaver(CanvasSurface& surface) : surface_(surface), saved_(surface.Pen()) {}
    ~PenSaver() { surface_.SetPen(saved_); }
    PenSaver(const PenSaver&) = delete;
    PenSaver& operator=(const PenSaver&) = delete;

  private:
    CanvasSurface& surface_;
    PenState saved_;
};

}  // namespace canvas
