// Handing the picture to an external image program, and choosing that program.
#pragma once

class frmCapture;

namespace commands {

void OpenInExternalProgram(frmCapture& form);
void ChooseExternalProgram(frmCapture& form);

}  // namespace commands
