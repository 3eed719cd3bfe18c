// What the tools ask of the editor window, and the window's controls the tool
// set binds to when the window creates it. A test can implement the host with
// a few lines and hand bare widgets as controls.
#pragma once

#include <QImage>

#include "canvas/AfterReplace.h"

class QAbstractButton;
class QScrollBar;
class QToolButton;
class QWidget;

namespace canvas {
class CanvasView;
class ViewPanel;
}  // namespace canvas

namespace tools {

class ToolHost {
  public:
    // Focus to the focus sink, off every control.
    virtual void MoveFocusToDummy() = 0;
    // Centres the window on its screen (after a crop).
    virtual void CenterOnScreen() = 0;
    // The one way a new picture reaches the canvas (see frmCapture).
    virtual bool ReplacePicture(QImage picture, AfterReplace then) = 0;
    // The canvas position inside the view panel, twips of picture pixels.
    virtual int CanvasLeftTwips() const = 0;
    virtual int CanvasTopTwips() const = 0;
    virtual void MoveCanvasTwips(int left, int top) = 0;

  protected:
    ~ToolHost() = default;
};

struct ToolControls {
    QWidget& window;               // parent of the pop-up panels and the text size panel
    canvas::CanvasView& canvas;    // Picture2
    canvas::ViewPanel& viewPanel;  // Picture3, around the canvas
    QWidget& toolbarStrip;         // Picture1
    QToolButton& toolsButton;      // Command2
    QToolButton& colorsButton;     // Command3
    QAbstractButton& cropButton;   // Check1
    QScrollBar& horizontalScroll;  // HScroll1
    QScrollBar& verticalScroll;    // VScroll1
};

}  // namespace tools
