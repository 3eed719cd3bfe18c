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
#include <cstdint>

namespace app {

// The argument that starts the keeper.
inline constexpr char kKeepClipboardArgument[] = "--keep-clipboard";

enum class ClipboardExit {
    Nothing,        // the clipboard does not hold this program's picture, or nothing can keep it
    HandToManager,  // an undo snapshot, and a clipboard manager runs: it may save it
    StartKeeper,    // a picture the user copied
};

// The choice for the end of the editor. A copy always goes to a keeper, which
// takes over within moments and hands the picture to a clipboard manager at
// its own pace: a manager's fetch of a large picture, or one that never
// answers, would otherwise hold up the close. An undo snapshot of a canvas
// press is never kept alive by a keeper: it is undo state, not something the
// user copied; a manager gets it only within the close's time.
ClipboardExit ChooseClipboardExit(bool ownPicture, bool userCopy, bool x11, bool managerRunning);

// Run once when the editor has closed, while the application still runs;
// done within a second. Returns true when Qt's clipboard teardown must be
// skipped: a clipboard manager or a keeper took the picture over (or is about
// to), or another program took the clipboard while Qt still counts it as ours.
// `keeperProgram` is this program's binary unless a test names another.
bool KeepClipboardAtExit(const QString& keeperProgram = {});

// Starts a keeper for the picture and waits (at most timeoutMs) until it has
// taken the clipboard. A keeper still starting then takes it over once this
// program has let it go, unless another program has copied meanwhile.
// Returns the keeper's process id, or 0 when it failed.
qint64 StartClipboardKeeper(const QImage& picture, const QString& programFile, int timeoutMs);

// The keeper itself: serves the picture in FILE (which it removes) until
// another program takes the clipboard, or hands it to a clipboard manager
// that takes it. `editorWindow` is the window of the editor that started it:
// the clipboard is taken only while that window or nobody owns it. Returns
// the process exit code.
int RunClipboardKeeper(const QString& file, std::uint32_t editorWindow);

}  // namespace app
