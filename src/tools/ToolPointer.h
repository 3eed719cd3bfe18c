// The pointer shown over the canvas for the current tool.
#pragma once

namespace canvas {
class CanvasView;
class ViewPanel;
}  // namespace canvas

namespace tools {

class PaletteTool;

// Gives the canvas the custom pointer of `current` (the tool of lngTool) in
// the colour variant of `colorIndex` (intColorIndex); without a tool, the
// cross-hair. The view panel is left alone.
void ApplyToolPointer(canvas::CanvasView& canvas, int colorIndex, const PaletteTool* current);

// Gives the view panel the canvas's pointer, so the area around a small
// picture shows the same pointer as the picture.
void MirrorCanvasPointer(const canvas::CanvasView& canvas, canvas::ViewPanel& panel);

// The colour variant a tool shows for colour field `colorIndex` right after
// it is chosen: black and white share variant 4; for the other fields the
// tool brings its own colour and variant. -1 for no colour field.
int ChosenToolVariant(const PaletteTool& tool, int colorIndex);

}  // namespace tools
