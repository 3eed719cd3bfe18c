#include "commands/ExternalProgram.h"

#include "editor/frmCapture.h"

namespace commands {

void OpenInExternalProgram(frmCapture& /*form*/) {}

void ChooseExternalProgram(frmCapture& /*form*/) {}

}  // namespace commands
