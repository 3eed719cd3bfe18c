// One tool of the tool pop-up, as the stroke protocol sees it: the whole life
// of a stroke (press, moves, release), a stroke cut short (cancel), and work
// the tool still holds that must be finished now (commit). Each stroke hands
// the tool its Stroke: the canvas, the colour, the start point and the host.
//
// A tool also has a pointer over the canvas, a picture on the tools button
// and a colour it brings. The tool set holds one tool per entry of its
// catalogue (tools/ToolCatalogue.h), indexed by lngTool.
#pragma once

#include <QCursor>
#include <optional>

#include "widgets/ColorRef.h"

class QPixmap;

namespace tools {

class Stroke;

// A mouse event on the canvas: the button (press, release: 1 left, 2 right,
// 4 middle; move: the set held), the keys (1 Shift, 2 Ctrl, 4 Alt) and the
// position in canvas pixels.
struct ToolEvent {
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
};

class PaletteTool {
  public:
    virtual ~PaletteTool() = default;

    // The press that starts a stroke, after the common press steps.
    virtual void Press(Stroke& stroke, const ToolEvent& event) = 0;
    // Each move of the stroke.
    virtual void Move(Stroke& /*stroke*/, const ToolEvent& /*event*/) {}
    // The release that ends the stroke.
    virtual void Release(Stroke& /*stroke*/, const ToolEvent& /*event*/) {}
    // The stroke ends without its release (the window closes under it).
    virtual void Cancel() {}
    // Finishes what the tool still holds (the text box's text), as the user
    // leaves the tool or presses elsewhere.
    virtual void Commit() {}
    // A press on the canvas or the view panel has been handled (its release).
    virtual void PressHandled() {}
    // Shows or hides the tool's own options (the text size panel); the tool
    // pop-up shows them for the tool chosen at its release.
    virtual void ShowOptions(bool /*visible*/) {}

    // The canvas pointer for the colour variant (see VariantOfColorIndex; -1
    // for no colour field); nothing leaves the pointer as it is.
    virtual std::optional<QCursor> Pointer(int variant) const = 0;
    // The tools button's picture for the colour variant.
    virtual const QPixmap& Look(int variant) const = 0;
    // Whether the look and the pointer change with the chosen colour.
    virtual bool FollowsColor() const { return true; }
    // The colour the tool brings when it is chosen while a colour field 0 to 3
    // is current, and the variant of its look then (also the picture of its
    // button in the pop-up).
    virtual COLORREF ChosenColor() const = 0;
    virtual int ChosenVariant() const { return 0; }
};

}  // namespace tools
