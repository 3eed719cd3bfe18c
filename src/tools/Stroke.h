// One stroke on the canvas, as the tool drawing it sees it: the canvas with
// its pen, the drawing colour and the reference picture of the press, the
// stroke's start and end points, and the few things a tool asks of the
// window. The stroke protocol makes one per left press and hands it to the
// tool's press, moves and release; nothing else holds the points.
#pragma once

#include "canvas/CanvasVersion.h"
#include "geometry/ConstrainEnd.h"
#include "widgets/ColorRef.h"

namespace canvas {
class CanvasSurface;
}

namespace tools {

class ToolHost;

class Stroke {
  public:
    Stroke(canvas::CanvasSurface& canvas, COLORREF color, const canvas::Version& reference, ToolHost& host,
           geometry::IntPoint start)
        : canvas_(&canvas), host_(&host), reference_(&reference), color_(color), start_(start) {}

    // The canvas with its pen (Pen, SetPen) and its drawing calls.
    canvas::CanvasSurface& Canvas() const { return *canvas_; }
    // The drawing colour at the press.
    COLORREF Color() const { return color_; }
    // picUndo at the press: what the eraser puts back.
    const canvas::Version& Reference() const { return *reference_; }
    ToolHost& Host() const { return *host_; }

    // The start point in canvas pixels, set by the press (the hand: the
    // pointer in the view panel's twips; the highlighter: its last point).
    geometry::IntPoint Start() const { return start_; }
    void SetStart(geometry::IntPoint at) { start_ = at; }
    // The end point of the figure last drawn (the shapes' preview).
    geometry::IntPoint End() const { return end_; }
    void SetEnd(geometry::IntPoint at) { end_ = at; }

  private:
    canvas::CanvasSurface* canvas_;
    ToolHost* host_;
    const canvas::Version* reference_;  // the editing state's, not a copy
    COLORREF color_;
    geometry::IntPoint start_;
    geometry::IntPoint end_;
};

}  // namespace tools
