// The stroke protocol on the canvas, without a widget: what a press, the
// moves and the release do before and around the current tool. A press
// marks the undo step ready, puts the canvas on the clipboard as the undo
// snapshot and lets pending events run; then an armed one-shot tool (the
// crop) takes it, or a left press starts a stroke with the stroke pen and
// hands it to the current tool. The tool bar's widgets are not part of it;
// tests drive it with an editing state and a host of their own.
#pragma once

#include <functional>
#include <optional>

#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"

namespace canvas {
class EditorState;
}

namespace tools {

// A tool that, once armed, takes the next press on the canvas whatever the
// current tool (the crop).
class OneShotTool {
  public:
    virtual bool IsArmed() const = 0;
    // A press started a drag that the moves follow.
    virtual bool IsDragging() const = 0;
    virtual void Press(const ToolEvent& event) = 0;
    virtual void Move(const ToolEvent& event) = 0;
    virtual void Release(const ToolEvent& event) = 0;
    // A drag under way ends without its release.
    virtual void Cancel() = 0;

  protected:
    ~OneShotTool() = default;
};

class StrokeProtocol {
  public:
    // `tools` are indexed by the current tool (lngTool).
    StrokeProtocol(canvas::EditorState& state, ToolHost& host, const ToolList& tools);

    // The one-shot tool beside the palette tools; none by default.
    void SetOneShot(OneShotTool* tool) { oneShot_ = tool; }
    // Runs first at every release (the tool bar closes its pop-ups).
    void SetReleaseStart(std::function<void()> start) { releaseStart_ = std::move(start); }

    // Canvas events.
    void Press(const ToolEvent& event);
    void Move(const ToolEvent& event);
    void Release(const ToolEvent& event);
    // A stroke or one-shot drag in progress ends without its release (the
    // window closes).
    void Cancel();
    // A press on the canvas or the view panel has been handled: every tool
    // settles what the press left open.
    void PressHandled();

    // The tool of lngTool, or nullptr.
    PaletteTool* Current() const;
    // blnDrawing: a left press started a stroke that has not ended.
    bool Drawing() const { return drawing_; }
    // The stroke under way, or the last one; nullptr before the first.
    const Stroke* LastStroke() const { return stroke_ ? &*stroke_ : nullptr; }

  private:
    // The one-step undo snapshot: the canvas image goes onto the clipboard.
    void PutCanvasOnClipboard();

    canvas::EditorState& state_;
    ToolHost& host_;
    const ToolList& tools_;
    OneShotTool* oneShot_ = nullptr;
    std::function<void()> releaseStart_;
    std::optional<Stroke> stroke_;
    bool drawing_ = false;
};

}  // namespace tools
