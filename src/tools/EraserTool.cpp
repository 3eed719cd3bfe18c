#include "tools/EraserTool.h"

#include "core/Rounding.h"
#include "editor/frmCapture.h"
#include "platform/qt/QImageDib.h"
#include "platform/raster/gdi.h"

namespace tools {

EraserTool::EraserTool(frmCapture& form) : form_(form) {}

void EraserTool::Press(float x, float y) {
    form_.Picture2.DrawMode = PictureBox::kDrawModeCopyPen;
    CopyBlock(x, y);
}

void EraserTool::Move(float x, float y) {
    CopyBlock(x, y);
}

void EraserTool::CopyBlock(float x, float y) {
    // Source and destination at the same coordinates, straight between the two
    // persistent images; the blit clips to both, so the part outside either
    // image is left alone. Its result is not needed: nothing copied, nothing
    // changed.
    const int left = core::N(x);
    const int top = core::N(y);
    {
        // The reference is only read: it keeps sharing its pixels with the
        // assigned picture.
        const QImageDib source(form_.picUndo.Image(), QImageDib::ReadOnly{});
        const QImageDib target(form_.Picture2.Image());
        if (source.hdc() != 0 && target.hdc() != 0) {
            gdi::BitBlt(target.hdc(), left, top, kBlockWidth, kBlockHeight, source.hdc(), left, top,
                        gdi::SRCCOPY);
        }
    }
    form_.Picture2.Refresh(QRect(left, top, kBlockWidth, kBlockHeight));
}

}  // namespace tools
