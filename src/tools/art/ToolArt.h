// The hidden picture holders of the tool palette: the coloured tool icons in
// their five variants, the tool-button pictures and the tool pointers. Built
// once on first use (a QGuiApplication must exist).
#pragma once

#include <QAbstractButton>
#include <QCursor>
#include <QPixmap>
#include <QPoint>
#include <array>

#include "tools/art/ArtPalette.h"

namespace tools {

struct ToolArt {
    // Coloured icons, index = colour variant (0 red, 1 green, 2 yellow, 3 cyan, 4 black).
    std::array<QPixmap, art::kVariantCount> picMarker;
    std::array<QPixmap, art::kVariantCount> picKreis;
    std::array<QPixmap, art::kVariantCount> piciArrow;
    std::array<QPixmap, art::kVariantCount> piciText;
    // The pictures of the hand and the eraser, which have no colour variants
    // (the other tools show their icon of the variant they bring).
    QPixmap handPicture;
    QPixmap eraserPicture;

    // Pointers.
    std::array<QCursor, 2> picHand;  // 0 open, 1 grabbing
    QCursor picArrow;
    QCursor picCross;
    QCursor picEraser;
    QCursor picText;
    QPoint markerHotSpot;  // the pen tip of the highlighter icon

    // The highlighter icon of a variant as a pointer (hot spot at the pen tip).
    QCursor MarkerPointer(int variant) const;
};

const ToolArt& Art();

// Shows a 32 x 32 picture on a graphical button (the tools button, a button
// of the tool pop-up), trimmed to its drawn part; ButtonPicture gives the
// picture as the button shows it.
void SetButtonPicture(QAbstractButton& button, const QPixmap& picture);
QPixmap ButtonPicture(const QPixmap& picture);

// Icon variant of a colour index: the index itself for 0 to 3, 4 for black and
// white (4 and 5), -1 for anything else.
int VariantOfColorIndex(int colorIndex);

}  // namespace tools
