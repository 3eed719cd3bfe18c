// The canvas pointers of the tools, drawn in code, each with its hot spot.
#pragma once

#include <QImage>
#include <QPoint>

namespace tools::art {

struct PointerArt {
    QImage image;    // 32 x 32 art pixels, transparent where the picture shows through
    QPoint hotSpot;  // in art pixels
};

// `scale`: device pixels per art pixel; the picture carries that pixel ratio
// and is drawn at it (2 on a 200 % desktop), not scaled up from 1x art.
PointerArt OpenHandPointer(int scale = 1);             // hand tool at rest, hot spot 15, 15
PointerArt GrabbingHandPointer(int scale = 1);         // hand tool while dragging, hot spot 15, 15
PointerArt ArrowToolPointer(int scale = 1);            // hot spot 10, 9
PointerArt CrossHairPointer(int scale = 1);            // ellipse tool, hot spot 15, 15
PointerArt EraserPointer(int scale = 1);               // hot spot 8, 11: the corner of the erased block
PointerArt TextPointer(int scale = 1);                 // letter T, hot spot 0, 0: the corner of the text box
PointerArt MarkerPointer(int variant, int scale = 1);  // the highlighter icon, hot spot at its tip

}  // namespace tools::art
