// Strokes and drags on the canvas made of a fixture's own press, move and
// release (canvas pixels), whether the fixture drives the canvas's widgets or
// the stroke protocol itself.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <initializer_list>

namespace test_support {

template <typename Fixture>
class CanvasGestures : public ::testing::Test {
  protected:
    // Presses at the first point, moves through the others, lets go at the last.
    void Stroke(std::initializer_list<QPoint> points) {
        auto it = points.begin();
        Self().Press(it->x(), it->y());
        QPoint last = *it;
        for (++it; it != points.end(); ++it) {
            Self().MoveTo(it->x(), it->y());
            last = *it;
        }
        Self().Release(last.x(), last.y());
    }
    // A drag with one stop half way, the modifiers held throughout.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}) {
        Self().Press(from.x(), from.y(), Qt::LeftButton, mods);
        Self().MoveTo((from.x() + to.x()) / 2, (from.y() + to.y()) / 2, mods);
        Self().MoveTo(to.x(), to.y(), mods);
        Self().Release(to.x(), to.y(), Qt::LeftButton, mods);
    }

  private:
    Fixture& Self() { return static_cast<Fixture&>(*this); }
};

}  // namespace test_support
