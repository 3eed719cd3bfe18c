// A window of the editor that opens over it as its dialog, also under mutter
// on Wayland. A Wayland window with a parent (xdg_toplevel.set_parent) is
// placed by mutter 43 like any new window, where it overlaps no other one:
// beside or below the editor. Dialogs it centres over their parent, and a
// Wayland client makes a window a dialog only through GTK's shell protocol
// (gtk_shell1), by marking it modal. The mark stays only until the window is
// shown: the pickers are modeless, and the editor stays usable beside them.
// Other compositors (sway, KWin) already open a child window over its parent
// and do not offer that protocol; on X11 Qt marks the window as a dialog
// transient for the editor itself. There, and without Qt's platform
// interface at build time, this does nothing.
#pragma once

class QWindow;

namespace wayland {

// Call right after showing `window`, before its first frame: the compositor
// places a window when its first frame arrives.
void OpenAsDialog(QWindow& window);

}  // namespace wayland
