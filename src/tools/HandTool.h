// The hand: drags a picture larger than the view panel by setting the scroll
// bars, whose change handlers place the canvas.
#pragma once

class frmCapture;

namespace tools {

class HandTool {
  public:
    explicit HandTool(frmCapture& form);

    // Left press (canvas pixels): switches the canvas to twips for the drag,
    // shows the grabbing hand and remembers where the picture was grabbed.
    void Press(float x, float y);
    // Each move of the drag (canvas twips): each enabled scroll bar moves a
    // fifteenth of the way towards putting the grabbed point under the pointer.
    void Move(float x, float y);
    // End of the drag: pixels and the open hand again.
    void Release();

  private:
    frmCapture& form_;
};

}  // namespace tools
