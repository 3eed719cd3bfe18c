#include "widgets/ColorRef.h"

#include <QApplication>
#include <QPalette>

QColor ToQColor(COLORREF color) {
    if ((color & 0x80000000U) != 0) {
        // Only the button face is used as a system colour by this program.
        return QApplication::palette().color(QPalette::Button);
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

COLORREF FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}
