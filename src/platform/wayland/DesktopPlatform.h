// Which of Qt's platforms the editor runs on, chosen before the application
// object exists.
#pragma once

namespace wayland {

// Under GNOME on Wayland, Qt before 6.5 draws its own title bar (GNOME's
// compositor draws none for Wayland windows, and those Qt versions bring no
// decoration in GNOME's style), unlike every other window on that desktop.
// There the editor runs through XWayland instead, where GNOME draws its own
// title bar, as long as the session offers XWayland and the user chose no
// platform (QT_QPA_PLATFORM). Everywhere else Qt's own choice stands.
void ChooseQtPlatform();

}  // namespace wayland
