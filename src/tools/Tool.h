// One annotation tool of the tool pop-up, as the stroke protocol and the
// pop-ups see it: what a left-button stroke on the canvas does, the pointer
// over the canvas and the picture on the tools button. The tool set holds one
// object per tool, indexed by lngTool.
#pragma once

#include <QCursor>
#include <optional>

#include "widgets/ColorRef.h"

class QPixmap;

namespace tools {

class Tool {
  public:
    virtual ~Tool() = default;

    // A left press on the canvas, after the common press steps (canvas
    // pixels; `shift` 1 Shift, 2 Ctrl, 4 Alt).
    virtual void Press(int shift, float x, float y) = 0;
    // Each move of the stroke with the left button held.
    virtual void Move(int /*shift*/, float /*x*/, float /*y*/) {}
    // The release that ends the stroke.
    virtual void Release(int /*shift*/, float /*x*/, float /*y*/) {}

    // The canvas pointer for the colour variant (see VariantOfColorIndex; -1
    // for no colour field); nothing leaves the pointer as it is.
    virtual std::optional<QCursor> Pointer(int variant) const = 0;
    // The tools button's picture for the colour variant.
    virtual const QPixmap& Look(int variant) const = 0;
    // Whether the look and the pointer change with the chosen colour.
    virtual bool FollowsColor() const { return true; }
    // The colour the tool brings when it is chosen while a colour field 0 to 3
    // is current, and the variant of its look then.
    virtual COLORREF ChosenColor() const = 0;
    virtual int ChosenVariant() const { return 0; }
};

}  // namespace tools
