#include "tools/art/ArtPalette.h"

#include <algorithm>

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

QImage BlankArt(int scale) {
    const int device = kArtSize * std::max(scale, 1);
    QImage img(device, device, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    img.setDevicePixelRatio(std::max(scale, 1));
    return img;
}

void SetArtPixel(QImage& image, int x, int y, const QColor& color) {
    const int scale = static_cast<int>(image.devicePixelRatio());
    for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) image.setPixelColor(x * scale + dx, y * scale + dy, color);
    }
}

}  // namespace tools::art
