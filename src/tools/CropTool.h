// Crop: the crop toggle on the tool bar arms a one-shot crop; while armed, the next press on
// the canvas (any button) starts a selection frame that a left drag spans, and
// the release cuts the picture to it. The current tool stays as it was.
#pragma once

#include <QMetaObject>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "geometry/CropGeometry.h"
#include "tools/StrokeProtocol.h"
#include "widgets/ColorRef.h"

class QAbstractButton;

namespace canvas {
class CanvasSurface;
class CanvasView;
class ViewPanel;
}  // namespace canvas

namespace tools {

class ToolHost;

// One side of the selection frame: a band of the canvas shown inverted. It
// paints over the canvas without touching its image, so it leaves no trace.
class CropFrameLine : public QWidget {
  public:
    explicit CropFrameLine(canvas::CanvasView& canvas);
    // Places the band (canvas pixels); an empty band shows nothing.
    void SetBand(const geometry::PixelRect& band);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    canvas::CanvasView& canvas_;
};

class CropTool final : public OneShotTool {
  public:
    // What the cut shows where the selection reaches outside the canvas image.
    static constexpr COLORREF kOutsideColor = 0x00FFFFFF;

    // `toolPointer` gives the canvas the current tool's pointer again.
    CropTool(canvas::CanvasSurface& canvas, ToolHost& host, canvas::CanvasView& view,
             canvas::ViewPanel& panel, QAbstractButton& cropButton, std::function<void()> toolPointer);
    ~CropTool();
    CropTool(const CropTool&) = delete;
    CropTool& operator=(const CropTool&) = delete;

    // blnCropMode: armed (True, -1) until the release that crops.
    std::int16_t Armed() const { return blnCropMode_; }
    // blnCropDrag: a left press started a selection that follows the pointer.
    std::int16_t Dragging() const { return blnCropDrag_; }
    bool IsArmed() const override { return blnCropMode_ != 0; }
    bool IsDragging() const override { return blnCropDrag_ != 0; }

    // Runs whenever the crop toggle changes its value: arms or disarms the crop.
    void CropButtonToggled();
    // Canvas events while armed (any button).
    void Press(const ToolEvent& event) override;
    void Move(const ToolEvent& event) override;
    void Release(const ToolEvent& event) override;
    // A selection under way ends without cropping (the crop stays armed).
    void Cancel() override;

    // The frame lines Line1 to Line4 (for inspection).
    const geometry::CropFrame& Frame() const { return frame_; }
    bool FrameVisible() const { return frameVisible_; }
    // The selection anchor intCropX, intCropY (canvas pixels).
    std::int16_t AnchorX() const { return intCropX_; }
    std::int16_t AnchorY() const { return intCropY_; }

  private:
    void ShowFrame(bool visible);
    void PlaceFrame();
    QImage CutSelection(const geometry::PixelRect& bounds) const;

    canvas::CanvasSurface& canvas_;
    ToolHost& host_;
    canvas::CanvasView& view_;
    canvas::ViewPanel& panel_;
    QAbstractButton& cropButton_;
    std::function<void()> toolPointer_;
    std::int16_t blnCropMode_ = 0;
    std::int16_t blnCropDrag_ = 0;
    std::int16_t intCropX_ = 0;
    std::int16_t intCropY_ = 0;
    geometry::CropFrame frame_;
    bool frameVisible_ = false;
    std::array<std::unique_ptr<CropFrameLine>, 4> lines_;
    QMetaObject::Connection buttonConnection_;
};

}  // namespace tools
