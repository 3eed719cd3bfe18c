// What the tool bar commands (load, save, copy, paste, undo, drop, external
// program) see of the editor window: its editing state, the program's paths
// and settings, and the few controls and actions a command needs. The editor
// window implements it; a test can implement it without a window.
#pragma once

#include <QImage>
#include <QString>

#include "canvas/AfterReplace.h"

class QWidget;

namespace canvas {
class EditorState;
}
namespace program {
struct ProgramPaths;
class Settings;
}  // namespace program

namespace commands {

class CommandHost {
  public:
    virtual canvas::EditorState& State() = 0;
    virtual const program::ProgramPaths& Paths() const = 0;
    virtual const program::Settings& ProgramSettings() const = 0;

    // Owner of pickers, notices and message boxes.
    virtual QWidget& Window() = 0;
    // A message box with the icon of `kind` (program::kMessage...).
    virtual void ShowMessage(const QString& prompt, int kind) = 0;
    // The picture name box Text1.
    virtual QString PictureName() const = 0;
    virtual void SetPictureName(const QString& name) = 0;
    virtual void FocusPictureName() = 0;
    // The save format (Option2 "JPeg" against Option1 "Bitmap") and the JPEG
    // quality (HScroll2).
    virtual bool SaveAsJpeg() const = 0;
    virtual int JpegQuality() const = 0;

    // The one way a new picture reaches the canvas (see frmCapture).
    virtual bool ReplacePicture(QImage picture, AfterReplace then) = 0;
    virtual void MoveFocusToDummy() = 0;
    // True once the window is closing: waiting commands give up.
    virtual bool IsUnloading() const = 0;

  protected:
    ~CommandHost() = default;
};

}  // namespace commands
