// The program's icon, a yellow marker pen, kept as one vector drawing: the
// window icon is painted from it at whatever size and pixel ratio the desktop
// asks for, and the installed icons (SVG and PNGs) are written from it.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <array>

class QPainter;

namespace icons {

// Side of the square the drawing is designed in (icon units).
inline constexpr double kAppIconDesignSize = 32.0;
// The PNG sizes installed into the hicolor theme.
inline constexpr std::array<int, 8> kAppIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Paints the icon filling a square of `side` device-independent pixels at the
// painter's origin.
void PaintAppIcon(QPainter& painter, double side);
// The icon as a square picture of size x size pixels (ARGB32 premultiplied).
QImage AppIconImage(int size);
// The icon as an SVG document (scalable theme icon).
QString AppIconSvg();
// The window icon: painted on demand at any size and device pixel ratio.
QIcon AppIcon();

}  // namespace icons
