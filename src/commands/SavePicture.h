// The save command: writes the canvas image into the picture folder under the
// picture name, as JPEG or bitmap, never overwriting.
#pragma once

class frmCapture;

namespace commands {

void SavePicture(frmCapture& form);

}  // namespace commands
