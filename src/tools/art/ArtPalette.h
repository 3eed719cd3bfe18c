// Colours of the tool art: the classic 16-colour palette and the five colour
// variants of the tool icons (red, green, yellow, cyan, black).
#pragma once

#include <QColor>

namespace tools::art {

inline constexpr int kVariantCount = 5;
inline constexpr int kArtSize = 32;

// Bright fill and darker outline tone of one icon variant.
struct VariantColours {
    QColor fill;
    QColor outline;
};

// Variant 0 red, 1 green, 2 yellow, 3 cyan, 4 black. Out-of-range values give black.
VariantColours Variant(int variant);

namespace pal {
inline const QColor black{0, 0, 0};
inline const QColor darkGrey{128, 128, 128};
inline const QColor silver{192, 192, 192};
inline const QColor white{255, 255, 255};
inline const QColor darkBlue{0, 0, 128};
inline const QColor blue{0, 0, 255};
inline const QColor red{255, 0, 0};
inline const QColor darkRed{128, 0, 0};
}  // namespace pal

}  // namespace tools::art
