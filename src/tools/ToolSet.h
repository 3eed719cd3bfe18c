// The annotation tools of the editor window: the tool and colour pop-ups, the
// stroke protocol on the canvas and each tool. The editor window creates one
// ToolSet and forwards the canvas mouse events to it.
#pragma once

#include <memory>

class frmCapture;

namespace tools {

class ToolSet {
  public:
    explicit ToolSet(frmCapture& form);
    ~ToolSet();
    ToolSet(const ToolSet&) = delete;
    ToolSet& operator=(const ToolSet&) = delete;

    // Canvas events (Button, Shift, X, Y as the canvas reports them).
    void Picture2_MouseDown(int button, int shift, float x, float y);
    void Picture2_MouseMove(int button, int shift, float x, float y);
    void Picture2_MouseUp(int button, int shift, float x, float y);

    // Hides the tool panel and the colour panel.
    void HidePopups();

  private:
    frmCapture& form_;
};

std::unique_ptr<ToolSet> CreateToolSet(frmCapture& form);

}  // namespace tools
