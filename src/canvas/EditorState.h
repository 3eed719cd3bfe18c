// The editing state of the editor window, in one owner: the canvas with its
// picture and drawings, the reference picture the eraser puts back (picUndo),
// the current tool (lngTool), colour and colour field (intColorIndex), the undo
// flag (intUndoReady), and the two values the commands keep for the run: the
// folder of the current picture (strPictureFolder) and the external image
// program (strExtProgram). The stroke in progress is the tool set's own.
//
// The window creates it and hands it to its tools and commands; a test can
// drive a tool or a command with a state of its own and no window.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>

#include "canvas/CanvasSurface.h"
#include "canvas/CanvasVersion.h"
#include "platform/qt/PendingPicture.h"
#include "platform/qt/PictureClipboard.h"
#include "widgets/ColorRef.h"

namespace canvas {

class EditorState : public QObject {
    Q_OBJECT
  public:
    EditorState() = default;

    // Picture2: the working picture with everything drawn on it.
    CanvasSurface& Canvas() { return canvas_; }
    const CanvasSurface& Canvas() const { return canvas_; }

    // picUndo: the reference picture, the assigned picture without later
    // drawings: a version of the canvas, never a copy of its own. Null when
    // the canvas had no picture.
    const Version& ReferenceVersion() const { return reference_; }
    // The reference as an image (null for none); hold it only briefly.
    QImage Reference() const { return reference_ ? reference_->ToImage() : QImage(); }
    void SetReference(QImage picture) {
        reference_ = picture.isNull() ? Version() : CanvasVersion::Of(std::move(picture));
    }
    // The reference becomes the canvas's assigned picture.
    void ReferenceFromCanvas() { reference_ = canvas_.PictureVersion(); }

    // Where this editor's pictures go onto the clipboard.
    const platform::ClipboardPublisher& Clipboard() const { return clipboard_; }
    platform::ClipboardPublisher& Clipboard() { return clipboard_; }
    // The order in which pictures come in (a drop during a paste comes after it).
    platform::PictureIntake& Intake() { return intake_; }

    // lngTool: 0 hand, 1 highlighter, 2 ellipse, 3 arrow, 4 text, 5 eraser.
    std::int32_t CurrentTool() const { return lngTool_; }
    void SetCurrentTool(std::int32_t tool) { lngTool_ = tool; }

    // The drawing colour, shown as the background of the colours button
    // (kSystemButtonFace names the system button face).
    COLORREF CurrentColor() const { return currentColor_; }
    void SetCurrentColor(COLORREF color);
    // intColorIndex: the colour field last chosen, 0 to 5.
    std::int16_t ColorIndex() const { return intColorIndex_; }
    void SetColorIndex(std::int16_t index) { intColorIndex_ = index; }

    // intUndoReady: 1 while the clipboard holds the canvas as it was before
    // the last press.
    std::int16_t UndoReady() const { return intUndoReady_; }
    void SetUndoReady(std::int16_t ready) { intUndoReady_ = ready; }

    // strPictureFolder: where saves go, ending in a separator, or empty.
    const QString& PictureFolder() const { return strPictureFolder_; }
    void SetPictureFolder(QString folder) { strPictureFolder_ = std::move(folder); }
    // strExtProgram: the external image program, empty until chosen.
    const QString& ExtProgram() const { return strExtProgram_; }
    void SetExtProgram(QString program) { strExtProgram_ = std::move(program); }

  signals:
    void currentColorChanged(COLORREF color);

  private:
    CanvasSurface canvas_;
    Version reference_;
    platform::ClipboardPublisher clipboard_;
    platform::PictureIntake intake_;
    std::int32_t lngTool_ = 0;
    COLORREF currentColor_ = 0x0000FFFF;
    std::int16_t intColorIndex_ = 0;
    std::int16_t intUndoReady_ = 0;
    QString strPictureFolder_;
    QString strExtProgram_;
};

}  // namespace canvas
