// The eraser ("Radierer"): puts back blocks of the reference picture picUndo
// under the pointer, removing what was drawn since that picture was set.
#pragma once

class frmCapture;

namespace tools {

class EraserTool {
  public:
    static constexpr int kBlockWidth = 14;
    static constexpr int kBlockHeight = 11;

    explicit EraserTool(frmCapture& form);

    // Left press and each move of the stroke (canvas pixels): copies one
    // block with its top-left corner at the pointer.
    void Press(float x, float y);
    void Move(float x, float y);

  private:
    void CopyBlock(float x, float y);

    frmCapture& form_;
};

}  // namespace tools
