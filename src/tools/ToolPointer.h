// The pointer shown over the canvas for the current tool.
#pragma once

namespace tools {

class Tool;
class ToolHost;

// Gives the canvas Picture2 the custom pointer of `current` (the tool of
// lngTool) in the colour variant of intColorIndex; without a tool, the
// cross-hair. The view panel is left alone.
void ApplyToolPointer(ToolHost& host, const Tool* current);

// Gives the view panel Picture3 the canvas's pointer, so the area around a
// small picture shows the same pointer as the picture.
void MirrorCanvasPointer(ToolHost& host);

// The colour variant a tool shows for colour field `colorIndex` right after
// it is chosen: black and white share variant 4; for the other fields the
// tool brings its own colour and variant. -1 for no colour field.
int ChosenToolVariant(const Tool& tool, int colorIndex);

}  // namespace tools
