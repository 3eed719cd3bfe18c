// The preview of the picture picker: a black box with a one-pixel flat border
// that shows a picture scaled to fill its width (or, for a picture taller than
// wide, its height), anchored at the top-left corner and cut off by the box.
#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>

namespace dialogs {

// Size a picture of `picture` pixels is drawn at in a preview whose inner
// size is `box`: taller than wide fills the height, otherwise the width; the
// other side keeps the aspect ratio (nearest pixel, halves to even).
QSize PreviewTargetSize(QSize picture, QSize box);

class PreviewBox : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kBorder = 1;

    explicit PreviewBox(QWidget* parent = nullptr);

    QSize InnerSize() const;
    // Clears the preview to black.
    void Clear();
    // Draws `picture` smoothly scaled (area averaging) at the top-left corner.
    void ShowPicture(const QImage& picture);
    // What the box shows inside its border (black where no picture is).
    const QImage& Image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage image_;
};

}  // namespace dialogs
