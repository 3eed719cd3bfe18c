// What start-up hands down to the editor window and through it to the
// commands: the paths fixed at start-up, the settings bound to their file, and
// where messages go (a test records them; empty shows the message boxes).
#pragma once

#include <QString>
#include <functional>

#include "program/ProgramPaths.h"
#include "program/Settings.h"

namespace program {

// Message kinds: the icon of the box.
inline constexpr int kMessageInformation = 1;
inline constexpr int kMessageWarning = 2;
inline constexpr int kMessageError = 3;
inline constexpr int kMessageQuestion = 4;

using MessageSink = std::function<void(const QString& prompt, int kind, const QString& title)>;

struct ProgramContext {
    ProgramPaths paths;
    Settings settings;
    MessageSink messages;  // empty: message boxes
};

}  // namespace program
