// The annotation tools of the editor window: the tool and colour pop-ups, the
// stroke protocol on the canvas and one object per tool. The editor window
// creates one ToolSet and forwards the canvas mouse events to it.
#pragma once

#include <QImage>
#include <array>
#include <memory>

namespace tools {

class ColorPalette;
class CropTool;
class PressSlideRelease;
class TextTool;
class Tool;
class ToolHost;
class ToolPalette;

// The tool at index lngTool (0 hand, 1 highlighter, 2 ellipse, 3 arrow, 4 text,
// 5 eraser), or nullptr for an index without a tool.
using ToolList = std::array<std::unique_ptr<Tool>, 6>;
Tool* ToolAt(const ToolList& tools, int index);

class ToolSet {
  public:
    explicit ToolSet(ToolHost& host);
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
    TextTool& Text() { return *text_; }
    CropTool& Crop() { return *crop_; }

  private:
    // The one-step undo snapshot: the canvas image goes onto the clipboard.
    void PutCanvasOnClipboard();
    Tool* Current() const;

    ToolHost& host_;
    QImage snapshot_;  // the last undo snapshot, shared with the clipboard
    ToolList tools_;
    TextTool* text_ = nullptr;  // tools_[kToolText]
    std::unique_ptr<CropTool> crop_;
    std::unique_ptr<ToolPalette> toolPalette_;
    std::unique_ptr<ColorPalette> colorPalette_;
    std::unique_ptr<PressSlideRelease> command2Slide_;
    std::unique_ptr<PressSlideRelease> command3Slide_;
};

std::unique_ptr<ToolSet> CreateToolSet(ToolHost& host);

}  // namespace tools
