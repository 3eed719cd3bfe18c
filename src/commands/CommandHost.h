// What the tool bar commands (load, save, copy, paste, undo, drop, external
// program) see of the editor window. The editor window implements it; a test
// can implement it with a bare canvas.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "widgets/AfterReplace.h"

class PictureBox;
class QWidget;

namespace commands {

class CommandHost {
  public:
    virtual QWidget& Window() = 0;     // owner of pickers and notices
    virtual PictureBox& Canvas() = 0;  // Picture2
    // The picture name box Text1.
    virtual QString PictureName() const = 0;
    virtual void SetPictureName(const QString& name) = 0;
    virtual void FocusPictureName() = 0;
    // The save format (Option2 "JPeg" against Option1 "Bitmap") and the JPEG
    // quality (HScroll2).
    virtual bool SaveAsJpeg() const = 0;
    virtual int JpegQuality() const = 0;
    // intUndoReady: 1 while the clipboard holds the canvas as it was before
    // the last stroke.
    virtual std::int16_t UndoReady() const = 0;
    virtual void SetUndoReady(std::int16_t ready) = 0;

    virtual bool ReplacePicture(QImage picture, AfterReplace then) = 0;
    virtual void SetUndoPictureFromCanvas() = 0;
    virtual void MoveFocusToDummy() = 0;
    // True once the window is closing: waiting commands give up.
    virtual bool IsUnloading() const = 0;

  protected:
    ~CommandHost() = default;
};

}  // namespace commands
