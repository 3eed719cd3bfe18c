// The stroke protocol and the tools without the editor window: an editing
// state set up as the window sets it, a fake host, a bare canvas view and
// scroll bars for the hand, and the mouse given to the protocol as the
// canvas would give it (positions in canvas pixels, the buttons held during
// a move). The text tool, which needs the window's focus, is left out.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <initializer_list>

#include "canvas/CanvasView.h"
#include "canvas/EditorState.h"
#include "support/CanvasGestures.h"
#include "support/FakeHosts.h"
#include "support/TestPictures.h"
#include "tools/ArrowTool.h"
#include "tools/ColorPalette.h"
#include "tools/EllipseTool.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/HighlighterTool.h"
#include "tools/StrokeProtocol.h"

namespace test_support {

class StrokeDriver : public CanvasGestures<StrokeDriver> {
    // The gestures are made of this fixture's press, move and release.
    friend class CanvasGestures<StrokeDriver>;

  protected:
    StrokeDriver() {
        tools_.resize(tools::PaletteCatalogue().size());
        tools_[tools::HandTool::kId] = std::make_unique<tools::HandTool>(view_, horizontal_, vertical_);
        Put<tools::HighlighterTool>();
        Put<tools::EllipseTool>();
        Put<tools::ArrowTool>();
        Put<tools::EraserTool>();
        state_.Canvas().SetBackColor(0x00000000);
    }

    // The picture each test starts with.
    virtual QImage StartPicture() const = 0;
    void SetUp() override { Load(StartPicture()); }

    // A new picture, as a paste brings it: the reference follows it.
    void Load(const QImage& picture) {
        state_.Canvas().SetPicture(picture);
        state_.ReferenceFromCanvas();
    }

    canvas::EditorState& State() { return state_; }
    const canvas::EditorState& State() const { return state_; }
    canvas::CanvasSurface& Surface() { return state_.Canvas(); }
    QRgb Pixel(int x, int y) { return Surface().Image().pixel(x, y) & 0xFFFFFF; }
    tools::StrokeProtocol& Strokes() { return protocol_; }
    canvas::CanvasView& Canvas() { return view_; }
    QScrollBar& HorizontalScroll() { return horizontal_; }
    QScrollBar& VerticalScroll() { return vertical_; }
    tools::PaletteTool& Tool(int id) { return *tools_[static_cast<std::size_t>(id)]; }
    const tools::Stroke& LastStroke() {
        const tools::Stroke* stroke = protocol_.LastStroke();
        if (stroke == nullptr) std::abort();
        return *stroke;
    }

    // A tool or a colour chosen as the pop-ups choose them: a tool brings
    // its colour unless black or white is chosen.
    void SlideToTool(int id) {
        state_.SetCurrentTool(id);
        const tools::PaletteTool* tool = tools::ToolAt(tools_, id);
        const int c = state_.ColorIndex();
        if (tool != nullptr && c != 4 && c != 5) state_.SetCurrentColor(tool->ChosenColor());
    }
    void SlideToColor(int i) {
        state_.SetCurrentColor(tools::kPaletteColors[static_cast<std::size_t>(i)]);
        state_.SetColorIndex(static_cast<std::int16_t>(i));
    }

    // --- mouse on the canvas, Qt's buttons and keys ---------------------------
    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        held_ |= b;
        protocol_.Press(Event(ButtonCode(b), mods, x, y));
    }
    void MoveTo(int x, int y, Qt::KeyboardModifiers mods = {}) {
        protocol_.Move(Event(ButtonsCode(held_), mods, x, y));
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        held_ &= ~Qt::MouseButtons(b);
        protocol_.Release(Event(ButtonCode(b), mods, x, y));
    }

    FakeToolHost host;

  private:
    template <typename T>
    void Put() {
        tools_[static_cast<std::size_t>(T::kId)] = std::make_unique<T>();
    }
    static int ButtonCode(Qt::MouseButton b) {
        return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0;
    }
    static int ButtonsCode(Qt::MouseButtons held) {
        return (held & Qt::LeftButton ? 1 : 0) | (held & Qt::RightButton ? 2 : 0) |
               (held & Qt::MiddleButton ? 4 : 0);
    }
    static tools::ToolEvent Event(int button, Qt::KeyboardModifiers mods, int x, int y) {
        const int shift = (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
                          (mods & Qt::AltModifier ? 4 : 0);
        return tools::ToolEvent{button, shift, static_cast<float>(x), static_cast<float>(y)};
    }

    canvas::EditorState state_;
    canvas::CanvasView view_{state_.Canvas()};
    QScrollBar horizontal_{Qt::Horizontal};
    QScrollBar vertical_{Qt::Vertical};
    tools::ToolList tools_;
    tools::StrokeProtocol protocol_{state_, host, tools_};
    Qt::MouseButtons held_;
};

}  // namespace test_support
