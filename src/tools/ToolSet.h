// The annotation tools of the editor window: the tool and colour pop-ups, the
// stroke protocol on the canvas, one tool per catalogue entry and the
// one-shot crop. The editor window creates one ToolSet with its editing state
// and the controls it binds to; the tool set then hears the canvas's mouse
// itself.
#pragma once

#include <QObject>
#include <memory>

#include "tools/ToolCatalogue.h"

namespace canvas {
class EditorState;
}

namespace tools {

class ColorPalette;
class CropTool;
class PressSlideRelease;
class StrokeProtocol;
class ToolHost;
class ToolPalette;
struct ToolControls;

class ToolSet {
  public:
    // One tool per entry of `catalogue` (which outlives the tool set), made
    // by the entry's factory.
    ToolSet(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
            ToolCatalogue catalogue = PaletteCatalogue());
    ~ToolSet();
    ToolSet(const ToolSet&) = delete;
    ToolSet& operator=(const ToolSet&) = delete;

    // Canvas events (Button, Shift, X, Y in canvas pixels).
    void CanvasPress(int button, int shift, float x, float y);
    void CanvasMove(int button, int shift, float x, float y);
    void CanvasRelease(int button, int shift, float x, float y);

    // The tools button: a press opens the tool pop-up, the release over the
    // button closes it, a move over it closes the colour pop-up.
    void ToolsButtonPress();
    void ToolsButtonRelease();
    void ToolsButtonMove();
    // The colours button, the same way round.
    void ColorsButtonPress();
    void ColorsButtonRelease();
    void ColorsButtonMove();

    // Hides the tool panel and the colour panel.
    void HidePopups();
    // A stroke or crop selection in progress ends without its release (the
    // window closes).
    void CancelStroke();

    ToolPalette& ToolPopup() { return *toolPalette_; }
    ColorPalette& ColorPopup() { return *colorPalette_; }
    CropTool& Crop() { return *crop_; }
    const StrokeProtocol& Strokes() const { return *strokes_; }
    // What the tools ask of the window.
    const ToolHost& Host() const { return host_; }
    // The tool of an id, or nullptr.
    PaletteTool* Tool(int id) const { return ToolAt(tools_, id); }

  private:
    ToolHost& host_;
    ToolList tools_;
    std::unique_ptr<StrokeProtocol> strokes_;
    std::unique_ptr<CropTool> crop_;
    std::unique_ptr<ToolPalette> toolPalette_;
    std::unique_ptr<ColorPalette> colorPalette_;
    std::unique_ptr<PressSlideRelease> toolsSlide_;
    std::unique_ptr<PressSlideRelease> colorsSlide_;
    // Space, Enter or Down on the tools or colours button opens its pop-up
    // for the keyboard.
    std::unique_ptr<QObject> popupKeys_;
};

}  // namespace tools
