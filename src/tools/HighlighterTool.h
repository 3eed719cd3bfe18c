// The highlighter ("Marker"): broad strokes that AND the current colour into
// the picture, so it tints without hiding what lies underneath.
#pragma once

class frmCapture;

namespace tools {

class HighlighterTool {
  public:
    static constexpr int kPenWidth = 12;

    explicit HighlighterTool(frmCapture& form);

    // Left press on the canvas (canvas pixels): sets the highlighter pen and
    // leaves a spot of the pen's width at the press point.
    void Press(float x, float y);
    // Each move of the stroke: one segment from the previous point.
    void Move(float x, float y);

  private:
    frmCapture& form_;
};

}  // namespace tools
