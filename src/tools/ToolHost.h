// What the annotation tools see of the editor window: the canvas and its
// reference copy, the view panel and scroll bars, the tool bar buttons they
// drive, the current colour and tool, the focus, and the stroke state. The
// editor window implements it; a test can implement it with bare widgets.
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QToolButton>
#include <cstdint>

#include "widgets/AfterReplace.h"
#include "widgets/ColorRef.h"

class PictureBox;
class QWidget;

namespace tools {

// The stroke in progress on the canvas, shared by the stroke protocol and the
// tools. Booleans: True = -1, False = 0.
struct StrokeState {
    std::int16_t blnDrawing = 0;
    std::int32_t lngStartX = 0;
    std::int32_t lngStartY = 0;
    std::int32_t lngEndX = 0;
    std::int32_t lngEndY = 0;
    std::int16_t blnCropMode = 0;
    std::int16_t blnCropDrag = 0;
    std::int16_t intCropX = 0;
    std::int16_t intCropY = 0;
    std::int16_t blnPanning = 0;
    std::int32_t lngPanLeft = 0;
    std::int32_t lngPanTop = 0;
};

class ToolHost {
  public:
    virtual QWidget& Window() = 0;               // parent of the pop-ups
    virtual PictureBox& Canvas() = 0;            // Picture2
    virtual PictureBox& ViewPanel() = 0;         // Picture3, around the canvas
    virtual PictureBox& ReferencePicture() = 0;  // picUndo, what the eraser puts back
    virtual PictureBox& CropHolder() = 0;        // picRectangle, receives the cropped area
    virtual QWidget& ToolbarStrip() = 0;         // Picture1
    virtual QToolButton& ToolsButton() = 0;      // Command2
    virtual QToolButton& ColorsButton() = 0;     // Command3
    virtual QToolButton& CropButton() = 0;       // Check1
    virtual QScrollBar& HorizontalScroll() = 0;  // HScroll1
    virtual QScrollBar& VerticalScroll() = 0;    // VScroll1

    virtual COLORREF CurrentColor() const = 0;
    virtual void SetCurrentColor(COLORREF color) = 0;
    virtual std::int32_t CurrentTool() const = 0;  // lngTool
    virtual void SetCurrentTool(std::int32_t tool) = 0;
    virtual std::int16_t ColorIndex() const = 0;  // intColorIndex
    virtual void SetColorIndex(std::int16_t index) = 0;
    virtual void SetUndoReady(std::int16_t ready) = 0;  // intUndoReady
    virtual StrokeState& Stroke() = 0;

    virtual void MoveFocusToDummy() = 0;
    virtual void CenterOnScreen() = 0;
    virtual bool ReplacePicture(QImage picture, AfterReplace then) = 0;
    // The canvas position inside the view panel (twips).
    virtual int Picture2LeftTwips() const = 0;
    virtual int Picture2TopTwips() const = 0;
    virtual void MoveCanvasTwips(int left, int top) = 0;

  protected:
    ~ToolHost() = default;
};

}  // namespace tools
