#include "tools/EraserTool.h"

#include "canvas/CanvasSurface.h"
#include "core/Rounding.h"
#include "platform/qt/QImageDib.h"
#include "raster/gdi.h"
#include "tools/Stroke.h"
#include "tools/ToolCatalogue.h"
#include "tools/art/ToolArt.h"

namespace tools {

ToolEntry EraserTool::Entry() {
    return {kId, "Radierer", [](const ToolParts& /*parts*/) -> std::unique_ptr<PaletteTool> {
                return std::make_unique<EraserTool>();
            }};
}

void EraserTool::Press(Stroke& stroke, const ToolEvent& event) {
    canvas::PenState pen = stroke.Canvas().Pen();
    pen.DrawMode = canvas::kDrawModeCopyPen;
    stroke.Canvas().SetPen(pen);
    CopyBlock(stroke, event.x, event.y);
}

void EraserTool::Move(Stroke& stroke, const ToolEvent& event) {
    CopyBlock(stroke, event.x, event.y);
}

void EraserTool::CopyBlock(const Stroke& stroke, float x, float y) {
    // Source and destination at the same coordinates, from the reference
    // picture to the canvas image; the blit clips to both, so the part outside
    // either image is left alone. Its result is not needed: nothing copied,
    // nothing changed.
    const QRect block(core::N(x), core::N(y), kBlockWidth, kBlockHeight);
    const canvas::Version& reference = stroke.Reference();
    canvas::CanvasSurface& canvas = stroke.Canvas();
    if (!reference) return;
    // Where nothing was drawn since the reference was taken, the canvas
    // already shows it: there is nothing to put back.
    if (canvas.Shows(*reference, block)) return;
    // The reference's pixels under the block (the reference reads them from
    // the tiles it kept where a drawing went over them).
    const QRect inReference = block & QRect(QPoint(0, 0), reference->Size());
    QImage part = reference->Copy(inReference);
    QImage* target = canvas.WritableImage(block);
    if (part.isNull() || target == nullptr) return;
    {
        const QImageDib source(handles_, part, QImageDib::ReadOnly{});
        const QImageDib into(handles_, *target);
        if (source.hdc() != 0 && into.hdc() != 0) {
            gdi::BitBlt(handles_, into.hdc(), inReference.left(), inReference.top(), inReference.width(),
                        inReference.height(), source.hdc(), 0, 0, gdi::SRCCOPY);
        }
    }
    canvas.Changed(block);
}

std::optional<QCursor> EraserTool::Pointer(int /*variant*/) const {
    return Art().picEraser;
}

const QPixmap& EraserTool::Look(int /*variant*/) const {
    return Art().eraserPicture;
}

}  // namespace tools
