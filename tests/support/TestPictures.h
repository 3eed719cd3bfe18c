// Pictures the editor tests start from, and ways to compare what came out.
#pragma once

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>

namespace test_support {

inline QImage Solid(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A picture whose pixels differ from place to place, so copies can be told apart.
inline QImage Pattern(int width, int height, int seed = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5) & 255, (x + y + seed * 3) & 255));
    }
    return image;
}

inline QImage Gradient(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
    }
    return picture;
}

// Same size and same colours, whatever the pixel formats.
inline bool SamePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

inline bool SameCursor(const QCursor& a, const QCursor& b) {
    return a.hotSpot() == b.hotSpot() && SamePixels(a.pixmap().toImage(), b.pixmap().toImage());
}

// Largest difference of any channel of any pixel (images of equal size).
inline int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

}  // namespace test_support
