// Keeps a size the program asked for on Wayland. A compositor answers many
// changes (activation, a child window going) with a configure that carries
// the window's size as the compositor last knew it; Qt applies every
// configure, so one sent just before the compositor saw the new size puts the
// window back to the old one. For a short while after asking for a new size,
// a window put back to exactly its old size asks for the new one again.
// Elsewhere this does nothing: an X window manager answers the request itself.
#pragma once

#include <QSize>
#include <functional>

class QWindow;

namespace platform {

// `previous`: the size before the request; `reapply` asks for the new size
// again. Holds for three seconds, and asks again at most four times, so a
// compositor that does not let the window choose its size (a tiling layout)
// keeps its way. (mutter went on sending the old size for more than a second
// after a fit, at the configures of a focus change.)
void HoldRequestedSize(QWindow& window, QSize previous, std::function<void()> reapply);

// True where the compositor, not the program, places the windows (Wayland):
// a window cannot move itself there, and a larger size grows from the
// top-left corner the window has.
bool PlacedByCompositor();

}  // namespace platform
