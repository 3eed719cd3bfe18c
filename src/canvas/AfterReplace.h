// What follows a new picture on the editor's canvas.
#pragma once

enum class AfterReplace {
    Nothing,    // the caller places the window itself
    Layout,     // the view panel and scroll bars are laid out anew (Form_Resize)
    FitWindow,  // the window is sized to the picture (FitWindowToPicture)
    UndoStep,   // nothing, and the reference stays: the eraser keeps restoring the unmarked picture
};
