// The tool pop-up under the tools button: one graphical option button per
// entry of the tool catalogue, in a column. Sliding over a button makes its
// tool current at once; the tools button's icon, the current colour and the
// canvas pointer follow the tool.
#pragma once

#include <QKeyEvent>
#include <QObject>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "tools/ToolCatalogue.h"

namespace canvas {
class CanvasView;
class EditorState;
class ViewPanel;
}  // namespace canvas

namespace tools {

class ToolHost;
struct ToolControls;

class ToolPalette : public QObject {
  public:
    // `tools` holds one tool per entry of `catalogue`; `leavingTool` runs
    // before a tool becomes current.
    ToolPalette(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
                ToolCatalogue catalogue, const ToolList& tools, std::function<void()> leavingTool);
    ~ToolPalette() override;

    // Makes tool i current: lngTool, the tools button's icon, the current
    // colour, the canvas pointer and the view panel's copy of it.
    void ChooseTool(int i);

    void Show();
    void Hide();
    bool Showing() const { return panel_.isVisible(); }
    // Opened from the keyboard: the current tool's button takes the focus.
    // The arrow keys move it, Enter or Space choose as a release over the
    // button does, Escape closes without a change; the keyboard then goes
    // back to `returnTo`.
    void ShowForKeyboard(QWidget& returnTo);
    // Whether `widget` is the pop-up or one of its buttons.
    bool Holds(const QWidget* widget) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int Count() const { return static_cast<int>(buttons_.size()); }
    QToolButton& Button(int i) const { return *buttons_[static_cast<std::size_t>(i)]; }
    int IndexOf(const QObject* button) const;
    bool ButtonKey(int i, const QKeyEvent& key);
    void GiveKeyboardBack();
    void NameToolsButton();
    // A release over a button, or a click on it.
    void ToolReleased();
    void ToolClicked();
    // The chosen tool shows its options, every other tool hides its own.
    void ShowOptionsOfCurrent();

    QWidget panel_;
    std::vector<std::unique_ptr<QToolButton>> buttons_;  // children of panel_, one per tool
    QWidget* returnTo_ = nullptr;

    canvas::EditorState& state_;
    ToolHost& host_;
    QToolButton& toolsButton_;
    canvas::CanvasView& view_;
    canvas::ViewPanel& viewPanel_;
    ToolCatalogue catalogue_;
    const ToolList& tools_;
    std::function<void()> leavingTool_;
};

}  // namespace tools
