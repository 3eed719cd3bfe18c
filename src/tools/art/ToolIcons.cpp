// Pixel-art drawing of the tool icons. Everything is painted aliased on whole
// pixels so the icons stay crisp at their native 32 x 32, and at the screen's
// resolution on a scaled desktop.
#include "tools/art/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "tools/art/ArtPalette.h"

namespace tools::art {

namespace {

QPen OutlinePen(const QColor& c) {
    QPen pen(c, 1);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

// Fills a polygon and outlines it with a one-pixel pen.
void Shape(QPainter& p, const QPolygon& poly, const QColor& fill, const QColor& outline) {
    p.setPen(OutlinePen(outline));
    p.setBrush(fill);
    p.drawPolygon(poly);
}

// Pixels where `inside` holds take `fill`; the pixels beside them (left, right,
// above, below) take `outline`: a one-pixel border that stays thin on diagonals.
template <typename Inside>
QImage RingedShape(Inside inside, const QColor& fill, const QColor& outline, int scale) {
    QImage img = BlankArt(scale);
    for (int y = 0; y < kArtSize; ++y) {
        for (int x = 0; x < kArtSize; ++x) {
            if (inside(x, y)) {
                SetArtPixel(img, x, y, fill);
                continue;
            }
            const bool touches = inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1);
            if (touches) SetArtPixel(img, x, y, outline);
        }
    }
    return img;
}

}  // namespace

QPoint MarkerTip() {
    return {3, 28};
}

QImage MarkerIcon(int variant, int scale) {
    const VariantColours v = Variant(variant);
    const QColor edge = variant == 4 ? pal::black : v.outline;
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);

    // A short highlighted stroke under the tip, in the ink colour.
    p.fillRect(QRect(1, 29, 13, 2), v.fill);
    p.fillRect(QRect(1, 28, 1, 3), v.fill);

    // The pen lies at 45 degrees, cap at the top right, chisel tip at the bottom left.
    const QPolygon cap{{{21, 1}, {30, 10}, {26, 14}, {17, 5}}};
    const QPolygon band{{{17, 5}, {26, 14}, {24, 16}, {15, 7}}};
    const QPolygon body{{{15, 7}, {24, 16}, {14, 26}, {5, 17}}};
    const QPolygon collar{{{5, 17}, {14, 26}, {12, 28}, {3, 19}}};
    const QPolygon nib{{{4, 21}, {10, 27}, {3, 28}}};
    Shape(p, cap, v.fill, edge);
    Shape(p, band, pal::white, edge);
    Shape(p, body, v.fill, edge);
    Shape(p, collar, pal::silver, pal::black);
    Shape(p, nib, v.fill, edge);
    // Sheen along the body so the flat colour reads as a round barrel.
    p.setPen(QPen(variant == 4 ? pal::darkGrey : pal::white, 1));
    p.drawLine(QPoint(17, 9), QPoint(9, 17));
    p.drawLine(QPoint(23, 3), QPoint(19, 7));
    return img;
}

QImage EllipseIcon(int variant, int scale) {
    const VariantColours v = Variant(variant);
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    // Concentric filled ellipses give a clean ring: outline, colour, outline, hole.
    const QRect box(3, 7, 26, 19);
    p.setBrush(v.outline);
    p.drawEllipse(box);
    p.setBrush(v.fill);
    p.drawEllipse(box.adjusted(1, 1, -1, -1));
    p.setBrush(v.outline);
    p.drawEllipse(box.adjusted(4, 4, -4, -4));
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(box.adjusted(5, 5, -5, -5));
    return img;
}

QImage ArrowIcon(int variant, int scale) {
    const VariantColours v = Variant(variant);
    // Shaft: a five-pixel band along the diagonal x + y = 31, cut square at the
    // tail. Head: two bars meeting at the tip (26, 5).
    return RingedShape(
        [](int x, int y) {
            const bool shaft = x + y >= 29 && x + y <= 33 && x - y >= -21 && x - y <= 16;
            const bool barbLeft = y >= 5 && y <= 7 && x >= 16 && x <= 26;
            const bool barbDown = x >= 24 && x <= 26 && y >= 5 && y <= 15;
            return shaft || barbLeft || barbDown;
        },
        v.fill, v.outline, scale);
}

QImage TextIcon(int variant, int scale) {
    const VariantColours v = Variant(variant);
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A bold serif capital T.
    const QPolygon t{{{5, 4},
                      {26, 4},
                      {26, 11},
                      {24, 11},
                      {22, 8},
                      {18, 8},
                      {18, 24},
                      {21, 24},
                      {21, 27},
                      {10, 27},
                      {10, 24},
                      {13, 24},
                      {13, 8},
                      {9, 8},
                      {7, 11},
                      {5, 11}}};
    Shape(p, t, v.fill, variant == 4 ? pal::black : v.outline);
    return img;
}

QImage EraserPicture(QPoint corner, int scale) {
    QImage img = BlankArt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(corner);
    // A rubber block seen from the front left: front face 14 x 11 (the area the
    // eraser puts back), top face and right side in perspective.
    const QPolygon top{{{0, 0}, {5, -5}, {19, -5}, {14, 0}}};
    const QPolygon side{{{14, 0}, {19, -5}, {19, 6}, {14, 11}}};
    const QPolygon front{{{0, 0}, {14, 0}, {14, 11}, {0, 11}}};
    Shape(p, top, pal::silver, pal::black);
    Shape(p, side, pal::darkGrey, pal::black);
    Shape(p, front, pal::white, pal::black);
    // The paper sleeve round the right half of the block.
    Shape(p, QPolygon{{{7, 0}, {12, -5}, {19, -5}, {14, 0}}}, pal::blue, pal::black);
    Shape(p, QPolygon{{{7, 0}, {14, 0}, {14, 11}, {7, 11}}}, pal::blue, pal::black);
    Shape(p, QPolygon{{{14, 0}, {19, -5}, {19, 6}, {14, 11}}}, pal::darkBlue, pal::black);
    return img;
}

}  // namespace tools::art
