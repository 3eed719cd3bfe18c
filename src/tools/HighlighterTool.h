// The highlighter ("Marker"): broad strokes that AND the current colour into
// the picture, so it tints without hiding what lies underneath.
#pragma once

#include "tools/Tool.h"

namespace tools {

struct ToolEntry;

class HighlighterTool : public PaletteTool {
  public:
    // Its id (lngTool) and its entry in the catalogue.
    static constexpr int kId = 1;
    static ToolEntry Entry();
    static constexpr int kPenWidth = 12;

    // Sets the highlighter pen and leaves a spot of the pen's width at the
    // press point.
    void Press(Stroke& stroke, const ToolEvent& event) override;
    // One segment from the previous point (the stroke's start point, which
    // each move advances).
    void Move(Stroke& stroke, const ToolEvent& event) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    COLORREF ChosenColor() const override { return 0x0000FFFF; }  // yellow
    int ChosenVariant() const override { return 2; }
};

}  // namespace tools
