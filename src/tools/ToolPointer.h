// The pointer shown over the canvas for the current tool.
#pragma once

class frmCapture;

namespace tools {

// Gives the canvas Picture2 the custom pointer of the current tool (lngTool):
// open hand, highlighter in the colour variant of intColorIndex, cross-hair,
// arrow-tool pointer, letter T or eraser. The view panel is left alone.
void ApplyToolPointer(frmCapture& form);

// Gives the view panel Picture3 the canvas's pointer, so the area around a
// small picture shows the same pointer as the picture.
void MirrorCanvasPointer(frmCapture& form);

}  // namespace tools
