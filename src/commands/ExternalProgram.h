// Handing the picture to an external image program, and choosing that program.
#pragma once

namespace commands {

class CommandHost;

void OpenInExternalProgram(CommandHost& host);
void ChooseExternalProgram(CommandHost& host);

}  // namespace commands
