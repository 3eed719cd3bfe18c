// Start-up of the program and its end.
#pragma once

#include <QString>
#include <memory>

#include "program/ProgramContext.h"

class QLockFile;
class frmCapture;

namespace app {

// Where the settings file and the scratch bitmap live. A portable binary (the
// one in the build tree, or copied anywhere) keeps them beside itself, unless
// its folder cannot be written; an installed binary keeps them in the user's
// config and cache folders, never in the binary's folder (/usr/bin).
enum class FilePlace { BesideProgram, UserFolders };

// The editor as start-up made it: the paths and settings it computed, and the
// window made from them (which refers to them, so they go together).
struct Session {
    program::ProgramContext program;
    std::unique_ptr<frmCapture> editor;
    ~Session();
};

// The running program: the single-instance lock and the editor.
struct RunningProgram {
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<Session> session;
    ~RunningProgram();
};

// Start-up: everything up to showing the editor window. Nothing when the
// program must end at once (a second instance).
std::unique_ptr<RunningProgram> Main(int argc, char** argv, FilePlace place);

// Whether the command line's text gives back the bytes it came as: a path
// whose bytes are not valid in the system's encoding names no file the
// program can open (see platform/qt/LocalPaths.h).
enum class CommandLineText { Exact, Unreadable };

// Start-up after the single-instance test: program-wide values from the
// program file's path, the settings, the editor window with the picture named
// by `commandLine` (the arguments joined with blanks), shown at the end. An
// unreadable command line is taken as a picture that does not load: the name
// and folder follow the text, nothing is opened. Messages go to `messages`
// (empty: message boxes).
std::unique_ptr<Session> StartEditor(const QString& programFile, const QString& commandLine,
                                     FilePlace place = FilePlace::BesideProgram,
                                     CommandLineText text = CommandLineText::Exact,
                                     program::MessageSink messages = {});

// Hands the clipboard over (see ClipboardKeeper.h), then drops the editor and
// the lock (call before the application object goes). Returns true when Qt's
// clipboard teardown must be skipped (see KeepClipboardAtExit).
bool Shutdown(std::unique_ptr<RunningProgram> running);

}  // namespace app
