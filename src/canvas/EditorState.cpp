#include "canvas/EditorState.h"

namespace canvas {

void EditorState::SetCurrentColor(COLORREF color) {
    currentColor_ = color;
    emit currentColorChanged(color);
}

}  // namespace canvas
