// The 32 x 32 tool pictures, drawn in code: the coloured icons of the drawing
// tools (one per colour variant) and the pictures of the tool buttons.
#pragma once

#include <QImage>
#include <QPoint>

namespace tools::art {

// Coloured tool icons; variant 0 red, 1 green, 2 yellow, 3 cyan, 4 black.
// `scale`: device pixels per art pixel (the picture carries that ratio).
QImage MarkerIcon(int variant, int scale = 1);  // highlighter pen, tip at MarkerTip()
QImage EllipseIcon(int variant, int scale = 1);
QImage ArrowIcon(int variant, int scale = 1);
QImage TextIcon(int variant, int scale = 1);  // a capital T

// Pixel at the highlighter's tip: the hot spot when the icon is the pointer.
QPoint MarkerTip();

// The eraser block as it appears on its tool button and pointer; its front face
// has its top-left corner at `corner`.
QImage EraserPicture(QPoint corner, int scale = 1);

}  // namespace tools::art
