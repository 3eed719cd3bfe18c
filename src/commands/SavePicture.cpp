#include "commands/SavePicture.h"

#include "editor/frmCapture.h"

namespace commands {

void SavePicture(frmCapture& /*form*/) {}

}  // namespace commands
