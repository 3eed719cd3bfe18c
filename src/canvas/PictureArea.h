// What the canvas view and the view panel around it have in common: a pointer
// kind with a custom pointer image, a background colour for whatever the area
// does not cover with a picture, and files dropped on it.
#pragma once

#include <QCursor>
#include <QWidget>

#include "widgets/ColorRef.h"

class QMimeData;

namespace canvas {

// Pointer kinds.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerArrow = 1;
inline constexpr int kPointerCross = 2;
inline constexpr int kPointerCustom = 99;

class PictureArea : public QWidget {
    Q_OBJECT
  public:
    explicit PictureArea(QWidget* parent = nullptr);

    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int kind);
    const QCursor& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(const QCursor& cursor);

    // Whether file lists dropped here are taken (the dropped() signal).
    void SetAcceptDrops(bool accept) { setAcceptDrops(accept); }

  signals:
    void dropped(const QMimeData& data);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void ApplyPointer();

    int mousePointer_ = kPointerDefault;
    QCursor mouseIcon_;
};

// The black panel around the canvas: it shows its background and takes drops.
class ViewPanel : public PictureArea {
    Q_OBJECT
  public:
    explicit ViewPanel(QWidget* parent = nullptr);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);

  signals:
    // A mouse button pressed over the panel itself.
    void pressed();
    // A mouse button released over the panel itself.
    void released();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    COLORREF backColor_ = 0x00000000;
};

}  // namespace canvas
