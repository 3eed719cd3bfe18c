// A test's own program values: paths in a folder the test chooses, the
// settings bound to a file there, and the messages recorded instead of shown.
#pragma once

#include <QString>
#include <vector>

#include "program/ProgramContext.h"

namespace test_support {

struct Message {
    QString prompt;
    int kind;
};

// Program values with nothing set and messages swallowed.
inline program::ProgramContext QuietProgram() {
    program::ProgramContext program;
    program.messages = [](const QString&, int, const QString&) {};
    return program;
}

// Program values rooted in `home` (absolute, without a trailing separator):
// settings file, program folder and scratch bitmap there, messages recorded
// into `messages`.
inline program::ProgramContext ProgramIn(const QString& home, std::vector<Message>& messages) {
    program::ProgramContext program;
    program.paths.strAppPath = home + "/";
    program.paths.strIniFile = home + "/korvel-annotarix.ini";
    program.paths.strTempFile = home + "/temp.bmp";
    program.settings = program::Settings(program.paths.strIniFile);
    program.messages = [&messages](const QString& prompt, int kind, const QString&) {
        messages.push_back({prompt, kind});
    };
    return program;
}

}  // namespace test_support
