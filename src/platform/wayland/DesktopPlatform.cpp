#include "platform/wayland/DesktopPlatform.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace wayland {

void ChooseQtPlatform() {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP").toUpper();
    bool gnome = false;
    for (const QByteArray& name : desktop.split(':')) gnome = gnome || name == "GNOME";
    if (gnome) qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

}  // namespace wayland
