// Tool geometry: the drag constraint, the arrow head, the ellipse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/ConstrainEnd.h"
#include "geometry/ShapeFigures.h"

using geometry::IntPoint;

TEST(ConstrainEnd, ShiftKeepsTheSmallerExtentOnBothAxes) {
    const IntPoint start{0, 0};
    // Wider than high: x shrinks to the height.
    EXPECT_EQ(geometry::ConstrainEnd(start, 80, 30, 1, false), (IntPoint{30, 30}));
    // Higher than wide: y shrinks to the width, direction kept.
    EXPECT_EQ(geometry::ConstrainEnd(start, 20, -70, 1, true), (IntPoint{20, -20}));
    EXPECT_EQ(geometry::ConstrainEnd(start, -50, 10, 1, true), (IntPoint{-10, 10}));
    // Equal extents count as "higher".
    EXPECT_EQ(geometry::ConstrainEnd({100, 100}, 90, 90, 1, true), (IntPoint{90, 90}));
}

TEST(ConstrainEnd, ShiftRoundsFractionalPositionsHalfToEven) {
    // dx = 10.5, dy = 20: y = 100 + 10.5 -> 110 (even), x = N(110.5) -> 110.
    EXPECT_EQ(geometry::ConstrainEnd({100, 100}, 110.5f, 120.0f, 1, true), (IntPoint{110, 110}));
    // dy = 3.5 < dx: x = 100 - 3.5 = 96.5 -> 96.
    EXPECT_EQ(geometry::ConstrainEnd({100, 100}, 50.0f, 103.5f, 1, true), (IntPoint{96, 104}));
}

TEST(ConstrainEnd, CtrlLocksArrowToTheNearerAxisOnly) {
    EXPECT_EQ(geometry::ConstrainEnd({0, 0}, 50, 10, 2, true), (IntPoint{50, 0}));
    EXPECT_EQ(geometry::ConstrainEnd({5, 5}, 8, -40, 2, true), (IntPoint{5, -40}));
    // The ellipse ignores Ctrl.
    EXPECT_EQ(geometry::ConstrainEnd({0, 0}, 50, 10, 2, false), (IntPoint{50, 10}));
}

TEST(ConstrainEnd, OtherKeyCombinationsLeaveThePointerPosition) {
    for (int shift : {0, 3, 4, 5, 6, 7}) {
        EXPECT_EQ(geometry::ConstrainEnd({0, 0}, 80.5f, 30.5f, shift, true), (IntPoint{80, 30})) << shift;
    }
}

struct ArrowCase {
    IntPoint from, to, barbA, barbB;
};

class ArrowHead : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowHead, BarbsEndWhereExpected) {
    const ArrowCase& c = GetParam();
    const geometry::ArrowFigure f = geometry::MakeArrow(c.from, c.to);
    EXPECT_EQ(f.tail, c.from);
    EXPECT_EQ(f.tip, c.to);
    EXPECT_EQ(f.barbA, c.barbA);
    EXPECT_EQ(f.barbB, c.barbB);
}

INSTANTIATE_TEST_SUITE_P(Directions, ArrowHead,
                         ::testing::Values(ArrowCase{{100, 100}, {200, 100}, {186, 95}, {186, 105}},  // right
                                           ArrowCase{{200, 100}, {100, 100}, {114, 105}, {114, 95}},  // left
                                           ArrowCase{{100, 100}, {100, 200}, {105, 186}, {95, 186}},  // down
                                           ArrowCase{{100, 200}, {100, 100}, {95, 114}, {105, 114}},  // up
                                           ArrowCase{{0, 0}, {100, 100}, {94, 86}, {86, 94}},  // 45 degrees
                                           ArrowCase{
                                               {40, 40}, {40, 40}, {40, 40}, {40, 40}}));  // zero length

TEST(ArrowHead, BarbsStayFifteenPixelsFromTheTipAtAnyAngle) {
    for (int dx = -60; dx <= 60; dx += 7) {
        for (int dy = -60; dy <= 60; dy += 11) {
            if (dx == 0 && dy == 0) continue;
            const geometry::ArrowFigure f = geometry::MakeArrow({500, 500}, {500 + dx, 500 + dy});
            for (const IntPoint& b : {f.barbA, f.barbB}) {
                const double ex = b.x - f.tip.x;
                const double ey = b.y - f.tip.y;
                const double len = std::sqrt(ex * ex + ey * ey);
                EXPECT_NEAR(len, 15.0, 1.0) << dx << "," << dy;
                // Barbs point back towards the tail.
                EXPECT_LT(ex * dx + ey * dy, 0.0) << dx << "," << dy;
            }
        }
    }
}

TEST(EllipseFigure, InscribedInTheDragRectangle) {
    const geometry::EllipseFigure f = geometry::MakeEllipse({10, 10}, {110, 60});
    ASSERT_TRUE(f.drawn);
    EXPECT_FLOAT_EQ(f.centreX, 60);
    EXPECT_FLOAT_EQ(f.centreY, 35);
    EXPECT_FLOAT_EQ(f.radius, 50);
    EXPECT_FLOAT_EQ(f.aspect, 0.5f);
    EXPECT_NEAR(f.SemiAxisX(), 50, 1e-4);
    EXPECT_NEAR(f.SemiAxisY(), 25, 1e-4);
}

TEST(EllipseFigure, TallRectangleUsesTheVerticalRadius) {
    // Dragged up and to the left: corners in either order give the same ellipse.
    const geometry::EllipseFigure f = geometry::MakeEllipse({70, 130}, {40, 10});
    ASSERT_TRUE(f.drawn);
    EXPECT_FLOAT_EQ(f.centreX, 55);
    EXPECT_FLOAT_EQ(f.centreY, 70);
    EXPECT_FLOAT_EQ(f.radius, 60);
    EXPECT_FLOAT_EQ(f.aspect, 4.0f);
    EXPECT_NEAR(f.SemiAxisX(), 15, 1e-4);
    EXPECT_NEAR(f.SemiAxisY(), 60, 1e-4);
}

TEST(EllipseFigure, OddSizesCentreOnHalfPixels) {
    const geometry::EllipseFigure f = geometry::MakeEllipse({0, 0}, {31, 31});
    EXPECT_FLOAT_EQ(f.centreX, 15.5f);
    EXPECT_FLOAT_EQ(f.centreY, 15.5f);
    EXPECT_FLOAT_EQ(f.aspect, 1.0f);
    EXPECT_NEAR(f.SemiAxisX(), 15.5, 1e-4);
    EXPECT_NEAR(f.SemiAxisY(), 15.5, 1e-4);
}

TEST(EllipseFigure, ShiftDragGivesACircle) {
    const IntPoint end = geometry::ConstrainEnd({0, 0}, 80, 30, 1, false);
    const geometry::EllipseFigure f = geometry::MakeEllipse({0, 0}, end);
    EXPECT_FLOAT_EQ(f.centreX, 15);
    EXPECT_FLOAT_EQ(f.centreY, 15);
    EXPECT_NEAR(f.SemiAxisX(), 15, 1e-4);
    EXPECT_NEAR(f.SemiAxisY(), 15, 1e-4);
}

TEST(EllipseFigure, VerticalDragDrawsNothingAndFlatDragIsALine) {
    EXPECT_FALSE(geometry::MakeEllipse({10, 10}, {10, 90}).drawn);
    const geometry::EllipseFigure flat = geometry::MakeEllipse({10, 40}, {90, 40});
    ASSERT_TRUE(flat.drawn);
    EXPECT_NEAR(flat.SemiAxisX(), 40, 1e-4);
    EXPECT_EQ(flat.SemiAxisY(), 0);
}

TEST(EllipseFigure, ExtremeCoordinatesDoNotOverflow) {
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    const geometry::EllipseFigure f = geometry::MakeEllipse({-big, 0}, {big, 2});
    ASSERT_TRUE(f.drawn);
    EXPECT_FLOAT_EQ(f.centreX, 0);
    EXPECT_GT(f.radius, 2e9f);
}
