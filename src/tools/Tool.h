// One tool of the canvas, as the stroke protocol sees it: the whole life of a
// stroke (press, moves, release), a stroke cut short (cancel), and work the
// tool still holds that must be finished now (commit).
//
// The tools of the tool pop-up are PaletteTools: they also have a pointer
// over the canvas, a picture on the tools button and a colour they bring. The
// tool set holds one of those per lngTool, and the one-shot crop beside them.
#pragma once

#include <QCursor>
#include <optional>

#include "widgets/ColorRef.h"

class QPixmap;

namespace tools {

// A mouse event on the canvas: the button (press, release: 1 left, 2 right,
// 4 middle; move: the set held), the keys (1 Shift, 2 Ctrl, 4 Alt) and the
// position in canvas pixels.
struct ToolEvent {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
};

class Tool {
  public:
    virtual ~Tool() = default;

    // The press that starts a stroke, after the common press steps.
    virtual void Press(const ToolEvent& event) = 0;
    // Each move of the stroke.
    virtual void Move(const ToolEvent& /*event*/) {}
    // The release that ends the stroke.
    virtual void Release(const ToolEvent& /*event*/) {}
    // The stroke ends without its release (the window closes under it).
    virtual void Cancel() {}
    // Finishes what the tool still holds (the text box's text), as the user
    // leaves the tool or presses elsewhere.
    virtual void Commit() {}
};

class PaletteTool : public Tool {
  public:
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
