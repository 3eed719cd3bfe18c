// Types keys into the window that has the keyboard, under whichever
// compositor the Wayland tests run: wtype through the virtual-keyboard
// protocol (wlroots: sway), KWin's fake-input protocol (offered when KWin runs
// with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), or mutter's remote-desktop
// interface on the session bus. The keys are those of a US layout, which the
// test compositors use.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <span>

namespace test_support {

// Runs a program to its end (at most timeoutMs) while this one keeps serving
// the compositor, and returns what it printed.
QByteArray RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 5000);

// One step: a pause (the test's events keep running), then a key.
struct KeyStep {
    enum Kind { Text, Return, Shift };
    int pauseMs = 0;
    Kind kind = Text;
    QString text = {};  // for Text: ASCII letters
};

class KeyTyper {
  public:
    virtual ~KeyTyper() = default;
    // Types the steps in order and waits out their pauses.
    virtual void Type(std::span<const KeyStep> steps) = 0;
    // Which way the keys go (for messages).
    virtual QString Name() const = 0;

    // The way the compositor of WAYLAND_DISPLAY takes typed keys, or nullptr
    // when it offers none this test knows.
    static std::unique_ptr<KeyTyper> ForCompositor();
};

}  // namespace test_support
