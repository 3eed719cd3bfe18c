// Program-wide values and the entry routine.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class frmCapture;

namespace app {

// Values set at start-up and shared by the windows and commands. Paths use the
// native separator; folder values end in one.
struct Globals {
    QString strAppTitle = QStringLiteral("Korvel Annotarix");
    QString strAppPath;             // program folder, ending in a separator
    QString strIniFile;             // settings file
    QString strTempFile;            // scratch bitmap "temp.bmp"
    QString strPictureFolder;       // folder of the current picture, ending in a separator, or ""
    QString strExtProgram;          // external image program
    std::int16_t intWinOffset = 0;  // layout margin in twips

    // Picker hand-over: the caller sets these, shows a picker and processes
    // events until the picker sets intDialogOpen back to 0.
    std::int16_t intDialogOpen = 0;
    QString strDialogCaption;
    QString strSelectedFile;

    frmCapture* editor = nullptr;  // the one editor window, while it exists
};

Globals& G();

// Start-up: everything up to showing the editor window. Returns the process
// exit code when the program must end at once (second instance), or -1 when
// the event loop should run.
int Main(int argc, char** argv);

// Start-up after the single-instance test: program-wide values from the
// program file's path, the settings, the editor window with the picture named
// by `commandLine` (the arguments joined with blanks), shown at the end.
std::unique_ptr<frmCapture> StartEditor(const QString& programFile, const QString& commandLine);

// Hands the clipboard over (see ClipboardKeeper.h), then drops the editor
// window made by Main (call before the application object goes).
void Shutdown();

}  // namespace app
