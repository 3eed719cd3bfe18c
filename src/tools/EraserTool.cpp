#include "tools/EraserTool.h"

#include "canvas/EditorState.h"
#include "core/Rounding.h"
#include "platform/qt/QImageDib.h"
#include "raster/gdi.h"
#include "tools/art/ToolArt.h"

namespace tools {

EraserTool::EraserTool(canvas::EditorState& state) : state_(state) {}

void EraserTool::Press(const ToolEvent& event) {
    canvas::PenState pen = state_.Canvas().Pen();
    pen.DrawMode = canvas::kDrawModeCopyPen;
    state_.Canvas().SetPen(pen);
    CopyBlock(event.x, event.y);
}

void EraserTool::Move(const ToolEvent& event) {
    CopyBlock(event.x, event.y);
}

void EraserTool::CopyBlock(float x, float y) {
    // Source and destination at the same coordinates, straight between the
    // reference picture and the canvas image; the blit clips to both, so the
    // part outside either image is left alone. Its result is not needed:
    // nothing copied, nothing changed.
    const QRect block(core::N(x), core::N(y), kBlockWidth, kBlockHeight);
    canvas::CanvasSurface& canvas = state_.Canvas();
    {
        // The reference is only read: it keeps sharing its pixels with the
        // assigned picture.
        const QImageDib source(state_.Reference(), QImageDib::ReadOnly{});
        const QImageDib target(canvas.WritableImage(block));
        if (source.hdc() != 0 && target.hdc() != 0) {
            gdi::BitBlt(target.hdc(), block.left(), block.top(), kBlockWidth, kBlockHeight, source.hdc(),
                        block.left(), block.top(), gdi::SRCCOPY);
        }
    }
    canvas.Changed(block);
}

std::optional<QCursor> EraserTool::Pointer(int /*variant*/) const {
    return Art().picEraser;
}

const QPixmap& EraserTool::Look(int /*variant*/) const {
    return Art().btnToolsPicture[5];
}

}  // namespace tools
