// The hand: drags a picture larger than the view panel by setting the scroll
// bars, whose change handlers place the canvas.
#pragma once

#include "tools/Tool.h"
#include "tools/ToolHost.h"

namespace tools {

class HandTool : public Tool {
  public:
    explicit HandTool(ToolHost& host);

    // Switches the canvas to twips for the drag, shows the grabbing hand and
    // remembers where the picture was grabbed (press in canvas pixels).
    void Press(int shift, float x, float y) override;
    // Each move of the drag (canvas twips): each enabled scroll bar moves a
    // fifteenth of the way towards putting the grabbed point under the pointer.
    void Move(int shift, float x, float y) override;
    // End of the drag: pixels and the open hand again.
    void Release(int shift, float x, float y) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    bool FollowsColor() const override { return false; }
    COLORREF ChosenColor() const override { return kSystemButtonFace; }

  private:
    ToolHost& host_;
    StrokeState& stroke_;
};

}  // namespace tools
