// The annotation tools of the editor window: the tool and colour pop-ups, the
// stroke protocol on the canvas and each tool. The editor window creates one
// ToolSet and forwards the canvas mouse events to it.
#pragma once

#include <QImage>
#include <memory>

class frmCapture;

namespace tools {

class ColorPalette;
class CropTool;
class EraserTool;
class HandTool;
class HighlighterTool;
class PressSlideRelease;
class ShapeTools;
class TextTool;
class ToolPalette;

class ToolSet {
  public:
    explicit ToolSet(frmCapture& form);
    ~ToolSet();
    ToolSet(const ToolSet&) = delete;
    ToolSet& operator=(const ToolSet&) = delete;

    // Canvas events (Button, Shift, X, Y as the canvas reports them).
    void Picture2_MouseDown(int button, int shift, float x, float y);
    void Picture2_MouseMove(int button, int shift, float x, float y);
    void Picture2_MouseUp(int button, int shift, float x, float y);

    // Tools and colours buttons.
    void Command2_MouseDown();
    void Command2_MouseUp();
    void Command2_MouseMove();
    void Command3_MouseDown();
    void Command3_MouseUp();
    void Command3_MouseMove();

    // Hides the tool panel and the colour panel.
    void HidePopups();

    ToolPalette& Tools() { return *toolPalette_; }
    ColorPalette& Colors() { return *colorPalette_; }
    ShapeTools& Shapes() { return *shapes_; }
    TextTool& Text() { return *text_; }
    CropTool& Crop() { return *crop_; }

  private:
    // The one-step undo snapshot: the canvas image goes onto the clipboard.
    void PutCanvasOnClipboard();

    frmCapture& form_;
    QImage snapshot_;  // the last undo snapshot, shared with the clipboard
    QImage spare_;     // the one before, no longer on the clipboard: memory for the next drawing
    std::unique_ptr<HighlighterTool> highlighter_;
    std::unique_ptr<EraserTool> eraser_;
    std::unique_ptr<HandTool> hand_;
    std::unique_ptr<CropTool> crop_;
    std::unique_ptr<TextTool> text_;
    std::unique_ptr<ShapeTools> shapes_;
    std::unique_ptr<ToolPalette> toolPalette_;
    std::unique_ptr<ColorPalette> colorPalette_;
    std::unique_ptr<PressSlideRelease> command2Slide_;
    std::unique_ptr<PressSlideRelease> command3Slide_;
};

std::unique_ptr<ToolSet> CreateToolSet(frmCapture& form);

}  // namespace tools
