// Binary raster operations (ROP2, the pen modes of a device context and the
// DrawMode of a picture box) as painter composition modes.
#pragma once

#include <QPainter>

namespace platform {

// The painter mode of R2_NOT (6), R2_XORPEN (7), R2_MASKPEN (9) and
// R2_MERGEPEN (15); any other operation gives `otherwise` (the copy pen, or
// whatever the caller does for it).
inline QPainter::CompositionMode CompositionModeOfRop2(int rop2, QPainter::CompositionMode otherwise) {
    switch (rop2) {
        case 6:
            return QPainter::RasterOp_NotDestination;
        case 7:
            return QPainter::RasterOp_SourceXorDestination;
        case 9:
            return QPainter::RasterOp_SourceAndDestination;
        case 15:
            return QPainter::RasterOp_SourceOrDestination;
        default:
            return otherwise;
    }
}

}  // namespace platform
