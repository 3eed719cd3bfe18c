// The tool pop-up under the tools button Command2: six graphical option
// buttons btnTools(0..5) in the panel picTools. Sliding over a button makes its
// tool current at once; the icon of Command2, the current colour and the canvas
// pointer follow the tool.
#pragma once

#include <QKeyEvent>
#include <QObject>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

#include "tools/ToolList.h"

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
    // `leavingTool` runs before a tool becomes current; `showSizePanel` shows
    // or hides the text-size panel.
    ToolPalette(canvas::EditorState& state, ToolHost& host, const ToolControls& controls,
                const ToolList& tools, std::function<void()> leavingTool,
                std::function<void(bool)> showSizePanel);
    ~ToolPalette() override;

    QWidget picTools;
    std::array<QToolButton, 6> btnTools;

    // Makes tool i current: lngTool, Command2's icon, the current colour, the
    // canvas pointer and the view panel's copy of it.
    void ChooseTool(int i);

    // Handlers.
    void btnTools_MouseUp(int i);
    void btnTools_Click(int i);

    void Show();
    void Hide();
    bool Showing() const { return picTools.isVisible(); }
    // Opened from the keyboard: the current tool's button takes the focus.
    // The arrow keys move it, Enter or Space choose as a release over the
    // button does, Escape closes without a change; the keyboard then goes
    // back to `returnTo`.
    void ShowForKeyboard(QWidget& returnTo);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int IndexOf(const QObject* button) const;
    bool ButtonKey(int i, const QKeyEvent& key);
    void GiveKeyboardBack();
    void NameToolsButton();

    QWidget* returnTo_ = nullptr;

    canvas::EditorState& state_;
    ToolHost& host_;
    QToolButton& toolsButton_;
    canvas::CanvasView& view_;
    canvas::ViewPanel& panel_;
    const ToolList& tools_;
    std::function<void()> leavingTool_;
    std::function<void(bool)> showSizePanel_;
};

}  // namespace tools
