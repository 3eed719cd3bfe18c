// Crop: the toggle Check1 arms a one-shot crop mode; the next drag on the
// canvas draws a selection frame and the release cuts the picture to it.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "tools/ToolHost.h"
#include "tools/ToolSet.h"
#include "geometry/CropGeometry.h"

namespace tools {

// One side of the selection frame: a band of the canvas shown inverted. It
// paints over the canvas without touching its image, so it leaves no trace.
class CropFrameLine : public QWidget {
  public:
    explicit CropFrameLine(QWidget* parent);
    // Places the band (canvas pixels); an empty band shows nothing.
    void SetBand(const geometry::PixelRect& band);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class CropTool {
  public:
    CropTool(ToolHost& host, const ToolList& tools);
    ~CropTool();
    CropTool(const CropTool&) = delete;
    CropTool& operator=(const CropTool&) = delete;

    // Runs whenever Check1 changes its value: arms or disarms crop mode.
    void Check1_Click();
    // Canvas events in crop mode (canvas pixels; button 1 left, 2 right, 4 middle).
    void Press(int button, float x, float y);
    void Move(float x, float y);
    void Release();

    // The frame lines Line1 to Line4 (for inspection).
    const geometry::CropFrame& Frame() const { return frame_; }
    bool FrameVisible() const { return frameVisible_; }

  private:
    void ShowFrame(bool visible);
    void PlaceFrame();
    bool CopySelection(const geometry::PixelRect& bounds);

    ToolHost& host_;
    StrokeState& stroke_;
    const ToolList& tools_;
    geometry::CropFrame frame_;
    bool frameVisible_ = false;
    std::array<std::unique_ptr<CropFrameLine>, 4> lines_;
    QMetaObject::Connection check1Connection_;
};

}  // namespace tools
