// The hand: drags a picture larger than the view panel by setting the scroll
// bars, whose change handlers place the canvas.
#pragma once

#include <cstdint>

#include "tools/Tool.h"

class QScrollBar;

namespace canvas {
class CanvasView;
}

namespace tools {

struct ToolEntry;

class HandTool : public PaletteTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 0;
    static ToolEntry Entry();

    // The unit the drag's moves are read in: twips while the hand holds the
    // picture, pixels otherwise.
    static constexpr int kScaleTwips = 1;
    static constexpr int kScalePixels = 3;

    HandTool(canvas::CanvasView& view, QScrollBar& horizontal, QScrollBar& vertical);

    // Shows the grabbing hand and remembers where the picture was grabbed, in
    // the view panel's twips.
    void Press(Stroke& stroke, const ToolEvent& event) override;
    // Each move of the drag: each enabled scroll bar moves a fifteenth of the
    // way towards putting the grabbed point under the pointer.
    void Move(Stroke& stroke, const ToolEvent& event) override;
    // End of the drag: the open hand again.
    void Release(Stroke& stroke, const ToolEvent& event) override;
    void Cancel() override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    bool FollowsColor() const override { return false; }
    COLORREF ChosenColor() const override { return kSystemButtonFace; }

    // blnPanning: True (-1) while a drag is in progress.
    std::int16_t Panning() const { return blnPanning_; }
    int ScaleMode() const { return blnPanning_ != 0 ? kScaleTwips : kScalePixels; }
    // lngPanLeft, lngPanTop: the canvas's Left and Top at the press (twips).
    std::int32_t PanLeft() const { return lngPanLeft_; }
    std::int32_t PanTop() const { return lngPanTop_; }

  private:
    canvas::CanvasView& view_;
    QScrollBar& horizontal_;
    QScrollBar& vertical_;
    std::int16_t blnPanning_ = 0;
    std::int32_t lngPanLeft_ = 0;  // the canvas's Left and Top (twips) at the press
    std::int32_t lngPanTop_ = 0;
};

}  // namespace tools
