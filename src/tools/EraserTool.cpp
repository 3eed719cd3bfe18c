#include "tools/EraserTool.h"

#include "core/Rounding.h"
#include "platform/qt/QImageDib.h"
#include "raster/gdi.h"
#include "tools/art/ToolArt.h"
#include "widgets/PictureBox.h"

namespace tools {

EraserTool::EraserTool(ToolHost& host) : host_(host) {}

void EraserTool::Press(int /*shift*/, float x, float y) {
    host_.Canvas().DrawMode = PictureBox::kDrawModeCopyPen;
    CopyBlock(x, y);
}

void EraserTool::Move(int /*shift*/, float x, float y) {
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
        const QImageDib source(host_.ReferencePicture().Image(), QImageDib::ReadOnly{});
        const QImageDib target(host_.Canvas().Image());
        if (source.hdc() != 0 && target.hdc() != 0) {
            gdi::BitBlt(target.hdc(), left, top, kBlockWidth, kBlockHeight, source.hdc(), left, top,
                        gdi::SRCCOPY);
        }
    }
    host_.Canvas().Refresh(QRect(left, top, kBlockWidth, kBlockHeight));
}

std::optional<QCursor> EraserTool::Pointer(int /*variant*/) const {
    return Art().picEraser;
}

const QPixmap& EraserTool::Look(int /*variant*/) const {
    return Art().btnToolsPicture[5];
}

}  // namespace tools
