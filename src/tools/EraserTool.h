// The eraser ("Radierer"): puts back blocks of the reference picture picUndo
// under the pointer, removing what was drawn since that picture was set.
#pragma once

#include "raster/gdi.h"
#include "tools/Tool.h"

namespace tools {

struct ToolEntry;

class EraserTool : public PaletteTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 5;
    static ToolEntry Entry();
    static constexpr int kBlockWidth = 14;
    static constexpr int kBlockHeight = 11;

    // The press and each move of the stroke copy one block with its top-left
    // corner at the pointer.
    void Press(Stroke& stroke, const ToolEvent& event) override;
    void Move(Stroke& stroke, const ToolEvent& event) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    bool FollowsColor() const override { return false; }
    COLORREF ChosenColor() const override { return kSystemButtonFace; }

  private:
    void CopyBlock(const Stroke& stroke, float x, float y);

    // The eraser's raster handles: the two pictures of each block copy.
    gdi::Session handles_;
};

}  // namespace tools
