// Which of Qt's platforms the editor runs on, chosen before the application
// object exists.
#pragma once

#include <span>
#include <vector>

namespace wayland {

// One output of the compositor: its current mode in device pixels, and its
// size in the compositor's layout (xdg-output's logical size), which is also
// the size of the output in XWayland's pixels.
struct OutputPixels {
    int modeWidth = 0;
    int modeHeight = 0;
    int layoutWidth = 0;
    int layoutHeight = 0;
};

// True when the compositor shows X11 windows one X pixel to one device pixel
// on every output: the layout size equals the mode (in either orientation).
// It does not where the layout is scaled (mutter's layout with
// scale-monitor-framebuffer at any scale above 1, fractional scales): X11
// windows are drawn enlarged there. False when no output is known.
bool X11PixelsAreDevicePixels(std::span<const OutputPixels> outputs);

// The outputs of the compositor of WAYLAND_DISPLAY, asked through a
// connection of its own; empty when that fails or the compositor offers no
// xdg-output.
std::vector<OutputPixels> CompositorOutputs();

// Under GNOME on Wayland, Qt before 6.5 draws its own title bar (GNOME's
// compositor draws none for Wayland windows, and those Qt versions bring no
// decoration in GNOME's style), unlike every other window on that desktop.
// There the editor runs through XWayland instead, where GNOME draws its own
// title bar and a copied picture outlives the editor in all its formats, as
// long as the session offers XWayland, the user chose no platform
// (QT_QPA_PLATFORM), and X11 windows are shown one pixel to one device
// pixel: where mutter would enlarge them, the picture would no longer show
// one picture pixel to one device pixel, and the editor stays on Wayland.
// Everywhere else Qt's own choice stands.
void ChooseQtPlatform();

}  // namespace wayland
