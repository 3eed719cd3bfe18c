#include "tools/art/ArtPalette.h"

namespace tools::art {

VariantColours Variant(int variant) {
    switch (variant) {
        case 0:
            return {QColor(255, 0, 0), QColor(128, 0, 0)};
        case 1:
            return {QColor(0, 255, 0), QColor(0, 128, 0)};
        case 2:
            return {QColor(255, 255, 0), QColor(128, 128, 0)};
        case 3:
            return {QColor(0, 255, 255), QColor(0, 128, 128)};
        default:
            return {QColor(0, 0, 0), QColor(0, 0, 0)};
    }
}

}  // namespace tools::art
