// What a canvas surface tells the one view that shows it.
#pragma once

class QRect;

namespace canvas {

class CanvasObserver {
  public:
    // Pixels of the image changed (picture pixels); the view repaints them.
    virtual void CanvasChanged(const QRect& pixels) = 0;
    // The image was replaced as a whole: a new picture (`newPicture`; the view
    // takes its size), or cleared or resized.
    virtual void CanvasReplaced(bool newPicture) = 0;

  protected:
    ~CanvasObserver() = default;
};

}  // namespace canvas
