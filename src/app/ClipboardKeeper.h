// What becomes of this program's picture on the clipboard when the editor
// ends. With a clipboard manager the picture is handed to it; without one, a
// picture the user copied is served on by a keeper: the same program started
// as `korvel-annotarix --keep-clipboard FILE`, without a window, which exits
// as soon as another program (or another keeper) takes the clipboard. The
// keeper never takes the single-instance lock, so a new editor starts at once.
//
// On Wayland a windowless program can take the clipboard only through a
// compositor's clipboard-manager protocol: see
// platform/wayland/WaylandClipboardKeeper.h.
#pragma once

#include <QImage>
#include <QString>

namespace app {

// The argument that starts the keeper.
inline constexpr char kKeepClipboardArgument[] = "--keep-clipboard";

enum class ClipboardExit {
    Nothing,        // the clipboard does not hold this program's picture, or nothing can keep it
    HandToManager,  // a clipboard manager runs: it saves the picture
    StartKeeper,    // a picture the user copied, and no clipboard manager
};

// The choice for the end of the editor. An undo snapshot of a canvas press is
// never kept alive by a keeper: it is undo state, not something the user copied.
ClipboardExit ChooseClipboardExit(bool ownPicture, bool userCopy, bool x11, bool managerRunning);

// Run once when the editor has closed, while the application still runs.
// Returns true when Qt's clipboard teardown must be skipped: a clipboard
// manager or a keeper took the picture over, or another program took the
// clipboard while Qt still counts it as ours.
bool KeepClipboardAtExit();

// Starts a keeper for the picture and waits (at most timeoutMs) until it has
// taken the clipboard. Returns the keeper's process id, or 0 when it failed.
qint64 StartClipboardKeeper(const QImage& picture, const QString& programFile, int timeoutMs);

// The keeper itself: serves the picture in FILE (which it removes) until
// another program takes the clipboard. Returns the process exit code.
int RunClipboardKeeper(const QString& file);

}  // namespace app
