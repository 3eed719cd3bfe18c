// Start-up of the program and its end.
#pragma once

#include <QString>
#include <memory>

class frmCapture;

namespace app {

// Where the settings file and the scratch bitmap live. A portable binary (the
// one in the build tree, or copied anywhere) keeps them beside itself, unless
// its folder cannot be written; an installed binary keeps them in the user's
// config and cache folders, never in the binary's folder (/usr/bin).
enum class FilePlace { BesideProgram, UserFolders };

// Start-up: everything up to showing the editor window. Returns the process
// exit code when the program must end at once (second instance), or -1 when
// the event loop should run.
int Main(int argc, char** argv, FilePlace place);

// Whether the command line's text gives back the bytes it came as: a path
// whose bytes are not valid in the system's encoding names no file the
// program can open (see platform/qt/LocalPaths.h).
enum class CommandLineText { Exact, Unreadable };

// Start-up after the single-instance test: program-wide values from the
// program file's path, the settings, the editor window with the picture named
// by `commandLine` (the arguments joined with blanks), shown at the end. An
// unreadable command line is taken as a picture that does not load: the name
// and folder follow the text, nothing is opened.
std::unique_ptr<frmCapture> StartEditor(const QString& programFile, const QString& commandLine,
                                        FilePlace place = FilePlace::BesideProgram,
                                        CommandLineText text = CommandLineText::Exact);

// Hands the clipboard over (see ClipboardKeeper.h), then drops the editor
// window made by Main (call before the application object goes). Returns true
// when Qt's clipboard teardown must be skipped (see KeepClipboardAtExit).
bool Shutdown();

}  // namespace app
