// The 32 x 32 tool pictures, drawn in code: the coloured icons of the drawing
// tools (one per colour variant) and the pictures of the tool buttons.
#pragma once

#include <QImage>
#include <QPoint>

namespace tools::art {

// Coloured tool icons; variant 0 red, 1 green, 2 yellow, 3 cyan, 4 black.
QImage MarkerIcon(int variant);  // highlighter pen, tip at MarkerTip()
QImage EllipseIcon(int variant);
QImage ArrowIcon(int variant);
QImage TextIcon(int variant);  // a capital T

// Pixel at the highlighter's tip: the hot spot when the icon is the pointer.
QPoint MarkerTip();

// The eraser block as it appears on its tool button and pointer; its front face
// has its top-left corner at `corner`.
QImage EraserPicture(QPoint corner);

}  // namespace tools::art
