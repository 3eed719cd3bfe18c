// A copied picture outlives the editor on Wayland compositors that offer a
// clipboard-manager protocol (wlroots' data-control, which sway and KWin
// offer): at its end the editor starts a keeper, the same program started as
// `korvel-annotarix --keep-wayland-clipboard FILE`, without a window. The
// keeper sets the selection through that protocol, which needs no keyboard
// focus, serves the picture as image/png and image/bmp, and ends as soon as
// another program copies something (or the compositor ends). Where the
// compositor offers no such protocol (mutter), the picture stays only as far
// as the compositor itself keeps the clipboard.
#pragma once

#include <QImage>
#include <QString>

namespace wayland {

// The argument that starts the keeper.
inline constexpr char kKeepClipboardArgument[] = "--keep-wayland-clipboard";

// True when the program runs on Qt's Wayland platform.
bool OnWayland();

// True when the compositor of WAYLAND_DISPLAY offers the data-control
// protocol (asked through a connection of its own).
bool ClipboardControlOffered();

// Run once when the editor has closed, while the application still runs: a
// picture the user copied (the copy button, the external-program command)
// that is still on the clipboard goes to a keeper. Returns true when a keeper
// took it.
bool KeepClipboardAtExit();

// Starts a keeper for the picture and waits (at most timeoutMs, letting events
// run) until this program no longer owns the clipboard. Returns the keeper's
// process id, or 0 when it failed.
qint64 StartClipboardKeeper(const QImage& picture, const QString& programFile, int timeoutMs);

// The keeper itself: serves the bitmap file FILE (which it removes) until
// another program takes the clipboard. Needs no Qt application object.
// Returns the process exit code.
int RunClipboardKeeper(const char* file);

}  // namespace wayland
