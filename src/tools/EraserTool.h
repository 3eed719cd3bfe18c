// The eraser ("Radierer"): puts back blocks of the reference picture picUndo
// under the pointer, removing what was drawn since that picture was set.
#pragma once

#include "raster/gdi.h"
#include "tools/Tool.h"

namespace canvas {
class EditorState;
}

namespace tools {

class EraserTool : public PaletteTool {
  public:
    static constexpr int kBlockWidth = 14;
    static constexpr int kBlockHeight = 11;

    explicit EraserTool(canvas::EditorState& state);

    // The press and each move of the stroke copy one block with its top-left
    // corner at the pointer.
    void Press(const ToolEvent& event) override;
    void Move(const ToolEvent& event) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    bool FollowsColor() const override { return false; }
    COLORREF ChosenColor() const override { return kSystemButtonFace; }

  private:
    void CopyBlock(float x, float y);

    canvas::EditorState& state_;
    // The eraser's raster handles: the two pictures of each block copy.
    gdi::Session handles_;
};

}  // namespace tools
