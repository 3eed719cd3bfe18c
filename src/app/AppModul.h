// Start-up of the program and its end.
#pragma once

#include <QString>
#include <memory>

class frmCapture;

namespace app {

// Start-up: everything up to showing the editor window. Returns the process
// exit code when the program must end at once (second instance), or -1 when
// the event loop should run.
int Main(int argc, char** argv);

// Start-up after the single-instance test: program-wide values from the
// program file's path, the settings, the editor window with the picture named
// by `commandLine` (the arguments joined with blanks), shown at the end.
std::unique_ptr<frmCapture> StartEditor(const QString& programFile, const QString& commandLine);

// Drops the editor window made by Main (call before the application object goes).
void Shutdown();

}  // namespace app
