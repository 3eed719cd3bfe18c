// Hand tool scroll arithmetic.
#include <gtest/gtest.h>

#include "geometry/PanScroll.h"

using geometry::PanAxis;
using geometry::PanScrollValue;

namespace {

// A canvas scrolled to `value` (its Left is -value), grabbed at panel position
// `grabAt`, the pointer now `moved` twips further.
PanAxis Drag(std::int32_t value, std::int32_t max, std::int32_t grabAt, float moved) {
    PanAxis a;
    a.value = value;
    a.min = 0;
    a.max = max;
    a.canvasPos = static_cast<float>(-value);
    a.panStart = -value;
    a.pointerStart = grabAt;
    a.pointer = static_cast<float>(grabAt + value) + moved;  // relative to the canvas
    return a;
}

}  // namespace

TEST(PanScrollValue, EachMoveCoversOneFifteenthOfTheWay) {
    // Dragging 1500 twips to the left asks for the canvas 1500 twips further
    // left, i.e. scroll value +1500; one move gets a fifteenth: +100.
    EXPECT_EQ(PanScrollValue(Drag(1000, 7300, 3000, -1500)), 1100);
    // To the right: the value falls.
    EXPECT_EQ(PanScrollValue(Drag(1000, 7300, 3000, 1500)), 900);
    // The next move with the pointer held still closes a fifteenth of what is left.
    PanAxis second = Drag(1000, 7300, 3000, -1500);
    second.value = 1100;
    second.canvasPos = -1100;
    // The pointer stays at 1500 in the panel, i.e. 2600 on the canvas now at
    // -1100. Target value 2500; 1400 remain.
    second.pointer = 1500.f + 1100.f;
    EXPECT_EQ(PanScrollValue(second), 1100 + 93);  // 1400 / 15 = 93.33
}

TEST(PanScrollValue, NoMovementKeepsTheValue) {
    EXPECT_EQ(PanScrollValue(Drag(420, 7300, 2000, 0)), 420);
}

TEST(PanScrollValue, ClampsToTheScrollRange) {
    // A huge drag right from the start position cannot go below Min ...
    EXPECT_EQ(PanScrollValue(Drag(10, 7300, 3000, 30000)), 0);
    // ... and a huge drag left stops at Max.
    EXPECT_EQ(PanScrollValue(Drag(7250, 7300, 3000, -30000)), 7300);
}

TEST(PanScrollValue, RoundsTargetAndStepToNearest) {
    EXPECT_EQ(PanScrollValue(Drag(0, 7300, 0, -225)), 15);
    // The target rounds half to even first (-337.5 -> -338), then the step
    // 338 / 15 = 22.53 rounds to 23; a target of -337 would give 22.
    EXPECT_EQ(PanScrollValue(Drag(0, 7300, 0, -337.5f)), 23);
    EXPECT_EQ(PanScrollValue(Drag(0, 7300, 0, -336.5f)), 22);
    // A step of exactly half a twip (canvas between pixels) goes to even.
    PanAxis a = Drag(0, 7300, 0, 0);
    a.canvasPos = 7.5f;
    a.panStart = 0;
    a.pointer = -7.5f;                // pointer still on the press point: target 0
    EXPECT_EQ(PanScrollValue(a), 0);  // 0 + 7.5 / 15 = 0.5 -> 0
    a.value = 1;
    EXPECT_EQ(PanScrollValue(a), 2);  // 1.5 -> 2
}

TEST(PanScrollValue, LargeValuesStayExactInThirtyTwoBits) {
    // Far outside the 16-bit range of a classic scroll bar.
    EXPECT_EQ(PanScrollValue(Drag(400000, 480000, 3000, -150000)), 410000);
}
