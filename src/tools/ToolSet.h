// The annotation tools of the editor window: the tool and colour pop-ups, the
// stroke protocol on the canvas and one object per tool. The editor window
// creates one ToolSet with its editing state and the controls it binds to;
// the tool set then hears the canvas's mouse itself.
#pragma once

#include <QObject>
#include <memory>

#include "tools/ToolList.h"

namespace canvas {
class EditorState;
}

namespace tools {

class ColorPalette;
class CropTool;
class HandTool;
class PressSlideRelease;
class TextTool;
class ToolHost;
class ToolPalette;
struct ToolControls;

class ToolSet {
  public:
    ToolSet(canvas::EditorState& state, ToolHost& host, const ToolControls& controls);
    ~ToolSet();
    ToolSet(const ToolSet&) = delete;
    ToolSet& operator=(const ToolSet&) = delete;

    // Canvas events (Button, Shift, X, Y in canvas pixels).
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
    // A stroke or crop selection in progress ends without its release (the
    // window closes).
    void CancelStroke();

    ToolPalette& Tools() { return *toolPalette_; }
    ColorPalette& Colors() { return *colorPalette_; }
    TextTool& Text() { return *text_; }
    CropTool& Crop() { return *crop_; }
    HandTool& Hand() { return *hand_; }

  private:
    // The one-step undo snapshot: the canvas image goes onto the clipboard.
    void PutCanvasOnClipboard();
    PaletteTool* Current() const;
    // A press on the canvas or the view panel has been handled.
    void AfterPress();

    canvas::EditorState& state_;
    ToolHost& host_;
    ToolList tools_;
    TextTool* text_ = nullptr;  // tools_[kToolText]
    HandTool* hand_ = nullptr;  // tools_[kToolHand]
    std::unique_ptr<CropTool> crop_;
    std::unique_ptr<ToolPalette> toolPalette_;
    std::unique_ptr<ColorPalette> colorPalette_;
    std::unique_ptr<PressSlideRelease> command2Slide_;
    std::unique_ptr<PressSlideRelease> command3Slide_;
    // Space, Enter or Down on the tools or colours button opens its pop-up
    // for the keyboard.
    std::unique_ptr<QObject> popupKeys_;
};

}  // namespace tools
