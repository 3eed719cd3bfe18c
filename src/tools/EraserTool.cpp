#include "tools/EraserTool.h"

#include <cstring>

#include "editor/frmCapture.h"
#include "tools/geometry/Rounding.h"

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
    // Source and destination at the same coordinates; only the part that lies
    // inside both images is copied.
    const QImage& source = form_.picUndo.Image();
    QImage& target = form_.Picture2.Image();
    const QRect block(N(x), N(y), kBlockWidth, kBlockHeight);
    const QRect copied = block & source.rect() & target.rect();
    if (!copied.isEmpty() && source.format() == target.format() && source.depth() == 32) {
        const auto rowBytes = static_cast<std::size_t>(copied.width()) * 4;
        for (int row = copied.top(); row <= copied.bottom(); ++row) {
            std::memcpy(target.scanLine(row) + static_cast<std::ptrdiff_t>(copied.left()) * 4,
                        source.constScanLine(row) + static_cast<std::ptrdiff_t>(copied.left()) * 4, rowBytes);
        }
    }
    form_.Picture2.Refresh(block);
}

}  // namespace tools
