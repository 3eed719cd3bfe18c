// The tool pop-up under the tools button Command2: six graphical option
// buttons btnTools(0..5) in the panel picTools. Sliding over a button makes its
// tool current at once; the icon of Command2, the current colour and the canvas
// pointer follow the tool.
#pragma once

#include <QObject>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

#include "tools/ToolSet.h"

namespace tools {

class ToolHost;

inline constexpr int kToolHand = 0;
inline constexpr int kToolHighlighter = 1;
inline constexpr int kToolEllipse = 2;
inline constexpr int kToolArrow = 3;
inline constexpr int kToolText = 4;
inline constexpr int kToolEraser = 5;

class ToolPalette : public QObject {
  public:
    // `showSizePanel` shows or hides the text-size panel.
    ToolPalette(ToolHost& host, const ToolList& tools, std::function<void(bool)> showSizePanel);
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int IndexOf(const QObject* button) const;

    ToolHost& host_;
    const ToolList& tools_;
    std::function<void(bool)> showSizePanel_;
};

}  // namespace tools
