// The canvas pen: width, style, raster operation, colour and fill. It stays on
// the canvas from one stroke to the next (a shape stroke leaves the copy pen,
// a highlighter stroke the mask pen), so it is one value that the tools read
// and replace, and that a PenSaver puts back where a change must not last.
#pragma once

#include <Qt>

#include "widgets/ColorRef.h"

namespace canvas {

// Raster operations of the pen.
inline constexpr int kDrawModeXorPen = 7;
inline constexpr int kDrawModeMaskPen = 9;
inline constexpr int kDrawModeCopyPen = 13;
// Fill styles.
inline constexpr int kFillSolid = 0;
inline constexpr int kFillTransparent = 1;

struct PenState {
    int DrawWidth = 1;
    int DrawMode = kDrawModeCopyPen;
    int DrawStyle = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible
    COLORREF ForeColor = 0x00000000;
    int FillStyle = kFillTransparent;
    COLORREF FillColor = 0x00000000;

    bool operator==(const PenState&) const = default;
};

// The Qt pen style for a draw style.
Qt::PenStyle PenStyleForDrawStyle(int drawStyle);

}  // namespace canvas
