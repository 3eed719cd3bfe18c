// The highlighter ("Marker"): broad strokes that AND the current colour into
// the picture, so it tints without hiding what lies underneath.
#pragma once

#include "tools/Tool.h"
#include "tools/ToolHost.h"

namespace tools {

class HighlighterTool : public Tool {
  public:
    static constexpr int kPenWidth = 12;

    explicit HighlighterTool(ToolHost& host);

    // Sets the highlighter pen and leaves a spot of the pen's width at the
    // press point.
    void Press(int shift, float x, float y) override;
    // One segment from the previous point.
    void Move(int shift, float x, float y) override;

    std::optional<QCursor> Pointer(int variant) const override;
    const QPixmap& Look(int variant) const override;
    COLORREF ChosenColor() const override { return 0x0000FFFF; }  // yellow
    int ChosenVariant() const override { return 2; }

  private:
    ToolHost& host_;
    StrokeState& stroke_;
};

}  // namespace tools
