// Colours as the program keeps them: 0x00BBGGRR values; a value with the top
// bit set names a system colour (0x8000000F is the button face).
#pragma once

#include <QColor>
#include <cstdint>

using COLORREF = std::uint32_t;

inline constexpr COLORREF kSystemButtonFace = 0x8000000F;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// The colour a COLORREF shows as; system colours resolve through the
// application palette.
QColor ToQColor(COLORREF color);

// The 0x00BBGGRR value of a plain colour (alpha ignored).
COLORREF FromQColor(const QColor& color);
