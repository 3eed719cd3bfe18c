// Crop selection geometry: the cropped rectangle and the on-screen frame.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "geometry/CropGeometry.h"

using geometry::CropBounds;
using geometry::CropFrame;
using geometry::PixelRect;

namespace {

PixelRect BoundsOf(const CropFrame& f) {
    return CropBounds(f.lines[0], f.lines[1]);
}

}  // namespace

TEST(CropBounds, EveryDragDirectionSelectsTheSameArea) {
    const PixelRect expected{10, 20, 50, 45};
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(10, 20, 50, 45)), expected);  // down-right
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(50, 45, 10, 20)), expected);  // up-left
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(50, 20, 10, 45)), expected);  // down-left
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(10, 45, 50, 20)), expected);  // up-right
}

TEST(CropBounds, ClickWithoutDragTakesOnePixel) {
    // After a press the lines lie on the press point; a release there takes
    // the single pixel under it.
    EXPECT_EQ(BoundsOf(CropFrame::AtPoint(7, 9)), (PixelRect{7, 9, 8, 10}));
    EXPECT_EQ(BoundsOf(CropFrame::AtPoint(6.6f, 9.4f)), (PixelRect{7, 9, 8, 10}));
    // A drag along one axis only still has one pixel on the other.
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(5, 5, 30, 5)), (PixelRect{5, 5, 30, 6}));
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(5, 5, 5, 2)), (PixelRect{5, 2, 6, 5}));
}

TEST(CropBounds, PointerCoordinatesRoundHalfToEven) {
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(10, 10, 20.5f, 21.5f)), (PixelRect{10, 10, 20, 22}));
    // A pointer slightly left of the anchor, but rounding onto it, adds nothing
    // on that side; the one-pixel rule then applies.
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(10, 10, 9.6f, 30)), (PixelRect{10, 10, 11, 30}));
}

TEST(CropBounds, SelectionBeyondTheCanvasKeepsItsCoordinates) {
    // The canvas keeps the mouse during a drag, so the pointer can leave it.
    EXPECT_EQ(BoundsOf(CropFrame::Spanning(5, 5, -12.2f, 900)), (PixelRect{-12, 5, 5, 900}));
}

TEST(CropAnchor, RoundsAndStaysInSixteenBits) {
    EXPECT_EQ(geometry::CropAnchor(12.5f), 12);
    EXPECT_EQ(geometry::CropAnchor(-3.5f), -4);
    EXPECT_EQ(geometry::CropAnchor(40000.f), 32767);
    EXPECT_EQ(geometry::CropAnchor(-40000.f), -32768);
}

// The frame inverts pixels; a pixel inverted twice would vanish from it, so the
// bands must not overlap and must together cover exactly the 3-pixel outline.
TEST(FrameBands, CoverTheThreePixelOutlineExactlyOnce) {
    const std::pair<float, float> pointers[] = {{30, 20}, {-4, 20}, {30, -6}, {-4, -6}, {10, 7},
                                                {11, 8},  {12, 9},  {14, 11}, {15, 12}, {40, 8}};
    for (const auto& [px, py] : pointers) {
        const auto frame = CropFrame::Spanning(10, 7, px, py);
        const auto bands = geometry::FrameBands(frame);
        const int x0 = std::min(10, int(px)), x1 = std::max(10, int(px));
        const int y0 = std::min(7, int(py)), y1 = std::max(7, int(py));
        std::multiset<std::pair<int, int>> covered;
        for (const auto& b : bands)
            for (int y = b.top; y < b.bottom; ++y)
                for (int x = b.left; x < b.right; ++x) covered.insert({x, y});
        for (int y = y0 - 3; y <= y1 + 3; ++y) {
            for (int x = x0 - 3; x <= x1 + 3; ++x) {
                const bool inOuter = x >= x0 - 1 && x <= x1 + 1 && y >= y0 - 1 && y <= y1 + 1;
                const bool inInner = x >= x0 + 2 && x <= x1 - 2 && y >= y0 + 2 && y <= y1 - 2;
                const auto expected = (inOuter && !inInner) ? 1u : 0u;
                ASSERT_EQ(covered.count({x, y}), expected)
                    << "pixel " << x << "," << y << " for pointer " << px << "," << py;
            }
        }
    }
}

TEST(FrameBands, EachLineOwnsTheBandAlongItsEdge) {
    // Dragged up and to the left: Line1 (anchor row) is the bottom edge and
    // Line3 (pointer column) is the left edge.
    const auto bands = geometry::FrameBands(CropFrame::Spanning(50, 40, 10, 20));
    EXPECT_EQ(bands[0], (PixelRect{9, 39, 52, 42}));   // Line1 through y = 40
    EXPECT_EQ(bands[3], (PixelRect{9, 19, 52, 22}));   // Line4 through y = 20
    EXPECT_EQ(bands[1], (PixelRect{49, 22, 52, 39}));  // Line2 through x = 50
    EXPECT_EQ(bands[2], (PixelRect{9, 22, 12, 39}));   // Line3 through x = 10
}
