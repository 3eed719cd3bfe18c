// A picture box: a widget with an assigned picture and a persistent back
// buffer (RGB32) from which it repaints itself, a pen for drawing into that
// buffer, a scale (pixels or twips) for the coordinates it reports, a custom
// pointer, mouse hooks with the classic Button/Shift/X/Y arguments and an
// optional hook for dropped data.
//
// Drawing primitives paint into the buffer and schedule a repaint of only the
// rectangle they changed, so a large picture stays cheap to draw on.
//
// The buffer is shown one picture pixel to one device pixel whatever the
// desktop's scale: on a 200 % screen the box is half as many (logical) widget
// pixels wide as its picture. Everything the box reports or takes (pointer
// positions, drawing coordinates, sizes) is in picture pixels; the mapping to
// widget pixels lives here and nowhere else.
#pragma once

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>

#include "widgets/ColorRef.h"

class QMimeData;
class QPainter;

// The Qt pen style for a picture-box draw style (0 solid, 1 dash, 2 dot,
// 3 dash-dot, 4 dash-dot-dot, 5 invisible).
Qt::PenStyle PenStyleForDrawStyle(int drawStyle);

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    // Raster operations of the pen.
    static constexpr int kDrawModeXorPen = 7;
    static constexpr int kDrawModeMaskPen = 9;
    static constexpr int kDrawModeCopyPen = 13;
    // Scale modes.
    static constexpr int kScaleTwips = 1;
    static constexpr int kScalePixels = 3;
    // Pointer kinds.
    static constexpr int kPointerDefault = 0;
    static constexpr int kPointerArrow = 1;
    static constexpr int kPointerCross = 2;
    static constexpr int kPointerCustom = 99;
    // Fill styles.
    static constexpr int kFillSolid = 0;
    static constexpr int kFillTransparent = 1;

    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // --- picture and back buffer -------------------------------------------
    // The assigned picture (null when the box has none).
    const QImage& Picture() const { return picture_; }
    // Assigns a picture: the box takes its size and the back buffer becomes
    // the picture. Picture and buffer share one block of pixels (so do other
    // boxes given the same picture) until the first drawing, which copies
    // them: assigning costs no copy, whatever the size. A picture of another
    // format is converted to RGB32, in place when the caller hands over the
    // only reference. A null image removes the picture and clears the buffer
    // to the background, keeping the size. False (box unchanged) when the
    // conversion runs out of memory.
    bool SetPicture(QImage picture);
    // The persistent image (Format_RGB32). It may share its pixels with the
    // picture or an undo snapshot; any write (QPainter, bits(), setPixel)
    // first makes them its own, so readers never see a drawing. After
    // DetachImage() it stays at one address until the size or the picture
    // changes or it is shared again. Callers that draw into it directly call
    // Refresh(rect) afterwards.
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    // Makes the buffer's pixels its own before a drawing, copying them into
    // the buffer kept for reuse (platform::KeepForReuse) when it fits (memory
    // already mapped is many times faster to fill than a fresh block), else
    // into new memory. False, with the buffer still shared, when the memory
    // cannot be had.
    bool DetachImage();
    // Clears what was drawn: background colour plus the assigned picture.
    void Cls();
    // Sets the size of box and buffer in pixels; new area gets the background.
    void SetSizePixels(int width, int height);
    // Repaints the whole box, or only the given rectangle (pixels).
    void Refresh();
    void Refresh(const QRect& changed);

    // --- pen and colours ------------------------------------------------------
    int DrawWidth = 1;
    int DrawMode = kDrawModeCopyPen;
    int DrawStyle = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible
    COLORREF ForeColor = 0x00000000;
    int FillStyle = kFillTransparent;
    COLORREF FillColor = 0x00000000;
    COLORREF BackColor() const { return backColor_; }
    // Changing the background colour also clears the buffer (as Cls).
    void SetBackColor(COLORREF color);
    QFont Font;
    bool FontTransparent = true;
    float CurrentX = 0;
    float CurrentY = 0;

    // --- drawing (coordinates in the current scale) --------------------------
    // Line from (x1,y1) to (x2,y2) in ForeColor, or in the colour given.
    // Leaves CurrentX/CurrentY at the end point.
    void Line(float x1, float y1, float x2, float y2);
    void Line(float x1, float y1, float x2, float y2, COLORREF color);
    // Rectangle outline (filled when FillStyle is solid) with corners given.
    void Box(float x1, float y1, float x2, float y2);
    void Box(float x1, float y1, float x2, float y2, COLORREF color);
    // Circle or ellipse around (x, y); radius is the larger semi-axis, aspect =
    // height / width as in the classic Circle method.
    void Circle(float x, float y, float radius, double aspect = 1.0);
    void Circle(float x, float y, float radius, COLORREF color, double aspect);
    // Single point in `color`.
    void PSet(float x, float y, COLORREF color);
    // Draws text at CurrentX/CurrentY with Font and ForeColor (no background
    // fill when FontTransparent); CurrentY then moves to the next line.
    void Print(const QString& text);
    // Width and height of the text in Font, in the current scale.
    float TextWidth(const QString& text) const;
    float TextHeight(const QString& text) const;

    // --- picture pixels on the screen ----------------------------------------
    // Device (= picture) pixels per widget pixel.
    double PixelRatio() const { return devicePixelRatioF(); }
    // The widget rectangle that shows the given picture pixels (covering it).
    QRect PictureToWidget(const QRect& pixels) const;
    // The widget position of a picture position, and back.
    QPointF PictureToWidget(QPointF pixels) const;
    QPointF WidgetToPicture(QPointF widget) const;
    // Widget size that shows a picture of `pixels` (rounded up).
    QSize WidgetSizeFor(QSize pixels) const;

    // --- scale -------------------------------------------------------------
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode);
    // Pixels per unit of the current scale (1 for pixels, 1/15 for twips).
    double UnitToPixel(double value) const;
    double PixelToUnit(double value) const;

    // --- pointer -----------------------------------------------------------
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int kind);
    const QCursor& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(const QCursor& cursor);

    // --- hooks -------------------------------------------------------------
    // Button: down/up = the button (1 left, 2 right, 4 middle); move = the set
    // held. Shift: 1 Shift | 2 Ctrl | 4 Alt. X, Y in the current scale.
    using MouseHook = std::function<void(int button, int shift, float x, float y)>;
    MouseHook onMouseDown;
    MouseHook onMouseMove;
    MouseHook onMouseUp;
    std::function<void()> onDblClick;
    // Set to accept drops: called with the dropped data.
    std::function<void(const QMimeData&)> onDrop;
    void SetAcceptDrops(bool accept) { setAcceptDrops(accept); }

    // Sets up `painter` with the box's pen state: the colour (ForeColor for
    // the box's own lines), DrawWidth and DrawStyle (wide pens are always
    // solid), round caps and joins, FillColor when `fill`, and DrawMode as
    // the raster operation.
    void PreparePen(QPainter& painter, COLORREF color, bool fill) const;
    // The pixels that drawing `shape` with the current pen can change: the
    // shape padded by half the pen width and two pixels more.
    QRect PenBounds(QRectF shape) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void EnsureBufferSize(QSize size);
    void ApplyPointer();
    void Report(const MouseHook& hook, int button, QMouseEvent* event) const;

    QImage picture_;
    QImage image_;
    COLORREF backColor_ = 0x00FFFFFF;
    int scaleMode_ = kScalePixels;
    int mousePointer_ = kPointerDefault;
    QCursor mouseIcon_;
};
