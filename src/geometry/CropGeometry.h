// Geometry of the crop selection: the four frame lines, the rectangle they
// select and the pixels the frame covers on screen. Canvas pixels throughout.
#pragma once

#include <array>
#include <cstdint>

namespace geometry {

// One frame line, its two end points as the pointer delivered them.
struct CropLine {
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
};

// The frame of a selection anchored at (anchorX, anchorY) with the pointer at
// (x, y): Line1 and Line4 horizontal through the anchor and the pointer,
// Line2 and Line3 vertical through the anchor and the pointer.
struct CropFrame {
    std::array<CropLine, 4> lines;  // Line1 .. Line4

    // All four lines collapsed onto one point (the state after a press).
    static CropFrame AtPoint(float x, float y);
    static CropFrame Spanning(std::int16_t anchorX, std::int16_t anchorY, float x, float y);
};

// Half-open integer rectangle: left <= x < right, top <= y < bottom.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The area a release crops to, from the end points of Line1 and Line2: the
// smallest and largest coordinate on each axis, whatever the drag direction.
// A selection that collapsed on an axis still takes one pixel on it.
PixelRect CropBounds(const CropLine& line1, const CropLine& line2);

// Anchor of a selection: the press point rounded, kept inside the 16-bit range
// the anchor is stored in.
std::int16_t CropAnchor(float v);

// The pixels the on-screen frame covers, one band per line in the order Line1
// to Line4. Each line is 3 pixels wide, centred on its coordinate; the bands
// never overlap, so inverting each of them once inverts every frame pixel
// exactly once. A band may be empty (a frame too small to have that side).
std::array<PixelRect, 4> FrameBands(const CropFrame& frame);

}  // namespace geometry
