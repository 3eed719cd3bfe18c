// Colours of the tool art: the classic 16-colour palette and the five colour
// variants of the tool icons (red, green, yellow, cyan, black).
#pragma once

#include <QColor>
#include <QImage>

namespace tools::art {

inline constexpr int kVariantCount = 5;
inline constexpr int kArtSize = 32;

// A transparent picture of kArtSize x kArtSize art pixels drawn at `scale`
// device pixels each (the image carries that pixel ratio): painting on it in
// art coordinates draws at the screen's own resolution on a scaled desktop,
// instead of the 1x art being smoothed up.
QImage BlankArt(int scale);
// Sets one art pixel (scale x scale device pixels).
void SetArtPixel(QImage& image, int x, int y, const QColor& color);

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
