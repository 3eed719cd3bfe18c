// The canvas pointers of the tools, drawn in code, each with its hot spot.
#pragma once

#include <QImage>
#include <QPoint>

namespace tools::art {

struct PointerArt {
    QImage image;  // 32 x 32, transparent where the picture shows through
    QPoint hotSpot;
};

PointerArt OpenHandPointer();           // hand tool at rest, hot spot 15, 15
PointerArt GrabbingHandPointer();       // hand tool while dragging, hot spot 15, 15
PointerArt ArrowToolPointer();          // hot spot 10, 9
PointerArt CrossHairPointer();          // ellipse tool, hot spot 15, 15
PointerArt EraserPointer();             // hot spot 8, 11: the corner of the erased block
PointerArt TextPointer();               // letter T, hot spot 0, 0: the corner of the text box
PointerArt MarkerPointer(int variant);  // the highlighter icon, hot spot at its tip

}  // namespace tools::art
