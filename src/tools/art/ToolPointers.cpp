// Pointer pictures. The two hands are kept as pixel maps ('X' black, 'o' white,
// '.' transparent) because every pixel of a small cursor matters; the others are
// painted aliased on whole pixels.
#include "tools/art/ToolPointers.h"

#include <QPainter>
#include <QPolygon>
#include <array>
#include <string_view>

#include "tools/art/ArtPalette.h"
#include "tools/art/ToolIcons.h"

namespace tools::art {

namespace {

// clang-format off
constexpr std::array<std::string_view, 32> kOpenHand{{
    "................................",
    "................................",
    "................................",
    "................................",
    "..............XX................",
    ".............XooXXX.............",
    "...........XXXooXooX............",
    "..........XooXooXooX............",
    "..........XooXooXooXXX..........",
    "..........XooXooXooXooX.........",
    "..........XooXooXooXooX.........",
    "..........XooXooXooXooX.........",
    "..........XooXooXooXooX.........",
    "...XXX....XooXooXooXooX.........",
    "..XoooX...XooXooXooXooX.........",
    "..XooooX.XooooooooooooX.........",
    "..XoooooXXooooooooooooX.........",
    "...XoooooXooooooooooooX.........",
    "....XoooooooooooooooooX.........",
    ".....XooooooooooooooooX.........",
    "......XoooooooooooooooX.........",
    ".......XooooooooooooooX.........",
    "........XXooooooooooooX.........",
    ".........XooooooooooooX.........",
    ".........XooooooooooooX.........",
    "..........XooooooooooX..........",
    "...........XooooooooX...........",
    "............XXXXXXXX............",
    "................................",
    "................................",
    "................................",
    "................................",
}};
constexpr std::array<std::string_view, 32> kGrabbingHand{{
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "...........XX.XX.XX.XX..........",
    "..........XooXooXooXooX.........",
    "..........XooXooXooXooX.........",
    "..........XooXooXooXooX.........",
    ".......XXXoooXooXooXooX.........",
    "......XooooooXooXooXooX.........",
    "......XooooooXooXooXooX.........",
    "......XoooooooooooooooX.........",
    "......XoooooooooooooooX.........",
    "......XoooooooooooooooX.........",
    ".......XooooooooooooooX.........",
    "........XXooooooooooooX.........",
    ".........XooooooooooooX.........",
    ".........XooooooooooooX.........",
    ".........XooooooooooooX.........",
    "..........XooooooooooX..........",
    "...........XooooooooX...........",
    "............XXXXXXXX............",
    "................................",
    "................................",
    "................................",
    "................................",
}};
// clang-format on

QImage FromMap(const std::array<std::string_view, 32>& rows, int scale) {
    QImage img = BlankArt(scale);
    for (int y = 0; y < kArtSize; ++y) {
        const std::string_view row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < kArtSize && x < static_cast<int>(row.size()); ++x) {
            const char c = row[static_cast<std::size_t>(x)];
            if (c == 'X')
                SetArtPixel(img, x, y, pal::black);
            else if (c == 'o')
                SetArtPixel(img, x, y, pal::white);
        }
    }
    return img;
}

// The four arms of a cross around c: each covers the pixels gap .. reach away
// from the centre and is 2 * half + 1 pixels thick.
void CrossArms(QPainter& p, QPoint c, int gap, int reach, int half, const QColor& color) {
    const int length = reach - gap + 1;
    const int thick = 2 * half + 1;
    p.fillRect(QRect(c.x() - half, c.y() - reach, thick, length), color);  // up
    p.fillRect(QRect(c.x() - half, c.y() + gap, thick, length), color);    // down
    p.fillRect(QRect(c.x() - reach, c.y() - half, length, thick), color);  // left
    p.fillRect(QRect(c.x() + gap, c.y() - half, length, thick), color);    // right
}

}  // namespace

PointerArt OpenHandPointer(int scale) {
    return {FromMap(kOpenHand, scale), {15, 15}};
}

PointerArt GrabbingHandPointer(int scale) {
    return {FromMap(kGrabbingHand, scale), {15, 15}};
}

PointerArt ArrowToolPointer(int scale) {
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A small mouse arrow with its tip on the hot spot ...
    const QPoint tip(10, 9);
    const QPolygon pointer{{{0, 0}, {0, 13}, {3, 10}, {6, 16}, {8, 15}, {5, 9}, {9, 9}}};
    p.setPen(QPen(pal::black, 1));
    p.setBrush(pal::white);
    p.drawPolygon(pointer.translated(tip));
    // ... and beside it the tool's own mark, a drawn arrow.
    QPen pen(pal::white, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    const QPoint from(18, 29);
    const QPoint head(28, 19);
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(pen);
        p.drawLine(from, head);
        p.drawLine(head, head + QPoint(-6, 0));
        p.drawLine(head, head + QPoint(0, 6));
        pen.setColor(pal::black);
        pen.setWidth(2);
    }
    return {img, tip};
}

PointerArt CrossHairPointer(int scale) {
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPoint c(15, 15);
    // White halo first, one pixel wider on every side, so the cross stays
    // visible over dark pictures.
    CrossArms(p, c, 3, 12, 1, pal::white);
    CrossArms(p, c, 4, 11, 0, pal::black);
    // The aiming point itself.
    p.fillRect(QRect(c.x() - 1, c.y() - 1, 3, 3), pal::white);
    p.fillRect(QRect(c.x(), c.y(), 1, 1), pal::red);
    return {img, c};
}

PointerArt EraserPointer(int scale) {
    const QPoint corner(8, 11);
    return {EraserPicture(corner, scale), corner};
}

PointerArt TextPointer(int scale) {
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A black serif T in a white rim; the rim's top-left pixel is the hot spot.
    const QPolygon t{{{1, 1},
                      {13, 1},
                      {13, 5},
                      {12, 5},
                      {11, 3},
                      {8, 3},
                      {8, 15},
                      {10, 15},
                      {10, 17},
                      {4, 17},
                      {4, 15},
                      {6, 15},
                      {6, 3},
                      {3, 3},
                      {2, 5},
                      {1, 5}}};
    p.setPen(QPen(pal::white, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(pal::white);
    p.drawPolygon(t);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::black);
    p.drawPolygon(t);
    return {img, {0, 0}};
}

PointerArt MarkerPointer(int variant, int scale) {
    return {MarkerIcon(variant, scale), MarkerTip()};
}

}  // namespace tools::art
