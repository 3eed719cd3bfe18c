// Tools driven on their own: a stroke on a canvas is all a drawing tool needs.
#include <gtest/gtest.h>

#include "canvas/EditorState.h"
#include "support/FakeHosts.h"
#include "support/TestPictures.h"
#include "tools/ArrowTool.h"
#include "tools/EraserTool.h"
#include "tools/Stroke.h"

using namespace test_support;

namespace {

tools::ToolEvent At(int x, int y, int shift = 0) {
    return tools::ToolEvent{1, shift, static_cast<float>(x), static_cast<float>(y)};
}

// The stroke protocol's part of a left press: the stroke with its start and
// the pen the press sets before the tool's own press.
tools::Stroke StartStroke(canvas::EditorState& state, tools::ToolHost& host, int x, int y) {
    canvas::PenState pen = state.Canvas().Pen();
    pen.DrawStyle = 0;
    pen.DrawWidth = 3;
    state.Canvas().SetPen(pen);
    return tools::Stroke(state.Canvas(), state.CurrentColor(), state.ReferenceVersion(), host, {x, y});
}

TEST(ToolWithoutWindow, ArrowDragsARubberBandAndCommitsInTheColourOfThePress) {
    canvas::EditorState state;
    state.Canvas().SetBackColor(0x00000000);  // as the window sets it
    state.Canvas().SetPicture(Solid(200, 100, Qt::black));
    state.SetCurrentColor(0x000000FF);
    FakeToolHost host;
    tools::ArrowTool arrow;
    tools::Stroke stroke = StartStroke(state, host, 20, 50);
    arrow.Press(stroke, At(20, 50));
    arrow.Move(stroke, At(90, 50));
    EXPECT_EQ(state.Canvas().Image().pixel(60, 50) & 0xFFFFFF, 0xFF0000u);  // XOR over black: the colour
    state.SetCurrentColor(0x0000FF00);   // a colour chosen mid-stroke does not count
    arrow.Move(stroke, At(150, 52, 2));  // Ctrl: horizontal
    arrow.Release(stroke, At(150, 52, 2));
    EXPECT_EQ(stroke.End().y, 50);
    EXPECT_EQ(state.Canvas().Image().pixel(120, 50) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(state.Canvas().Pen().DrawMode, canvas::kDrawModeCopyPen);
}

TEST(ToolWithoutWindow, EraserPutsBackTheReferenceUnderItsBlock) {
    canvas::EditorState state;
    state.Canvas().SetPicture(Pattern(120, 80));
    state.ReferenceFromCanvas();
    state.Canvas().Line(QPointF(0, 20), QPointF(119, 20), 0x00FFFFFF);
    FakeToolHost host;
    tools::EraserTool eraser;
    tools::Stroke stroke = StartStroke(state, host, 30, 15);
    eraser.Press(stroke, At(30, 15));
    eraser.Move(stroke, At(100, 15));
    const QImage& image = state.Canvas().Image();
    for (const int x : {30, 43, 100, 113}) EXPECT_EQ(image.pixel(x, 20), Pattern(120, 80).pixel(x, 20)) << x;
    EXPECT_EQ(image.pixel(70, 20) & 0xFFFFFF, 0xFFFFFFu);  // between the blocks the line stays
}

}  // namespace
