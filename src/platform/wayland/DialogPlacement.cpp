#include "platform/wayland/DialogPlacement.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "platform/wayland/WaylandClipboardKeeper.h"

#ifdef KORVEL_HAVE_GTK_SHELL
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <cstring>

#include "gtk-shell-client-protocol.h"
#endif

namespace wayland {

#ifdef KORVEL_HAVE_GTK_SHELL
namespace {

// Once the compositor has placed the window (it is active, or a second has
// passed), the modal mark goes again.
constexpr int kUnmarkAfterMs = 1000;

// The compositor's gtk_shell1 on Qt's own connection, bound once, or nullptr
// where the compositor offers none. Its objects live on a queue of their own,
// which is never dispatched: nothing the compositor sends about them is
// needed, and Qt's dispatching of its own queue never meets them.
gtk_shell1* GtkShell(wl_display* display) {
    static gtk_shell1* shell = nullptr;
    static bool asked = false;
    if (asked) return shell;
    asked = true;
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    wl_registry* registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    static const wl_registry_listener listener = {
        [](void* data, wl_registry* from, uint32_t name, const char* interface, uint32_t /*version*/) {
            if (std::strcmp(interface, gtk_shell1_interface.name) == 0)
                *static_cast<gtk_shell1**>(data) =
                    static_cast<gtk_shell1*>(wl_registry_bind(from, name, &gtk_shell1_interface, 1));
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry_add_listener(registry, &listener, &shell);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    return shell;
}

// The modal mark of one window, taken back once the compositor has placed the
// window: when it becomes active, after a second, or when it hides.
class DialogMark : public QObject {
  public:
    DialogMark(QWindow& window, wl_display* display, gtk_surface1* dialog)
        : QObject(&window), display_(display), dialog_(dialog) {
        gtk_surface1_set_modal(dialog_);
        wl_display_flush(display_);
        connect(&window, &QWindow::activeChanged, this, [this, &window] {
            if (window.isActive()) Unmark();
        });
        connect(&window, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible) Unmark();
        });
        QTimer::singleShot(kUnmarkAfterMs, this, &DialogMark::Unmark);
    }
    ~DialogMark() override {
        if (dialog_ != nullptr) gtk_surface1_destroy(dialog_);
    }

  private:
    void Unmark() {
        if (dialog_ == nullptr) return;
        gtk_surface1_unset_modal(dialog_);
        gtk_surface1_destroy(dialog_);
        dialog_ = nullptr;
        wl_display_flush(display_);
        deleteLater();
    }

    wl_display* display_;
    gtk_surface1* dialog_;
};

}  // namespace
#endif

void OpenAsDialog(QWindow& window) {
#ifdef KORVEL_HAVE_GTK_SHELL
    if (!OnWayland() || window.transientParent() == nullptr) return;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native == nullptr) return;
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window));
    if (display == nullptr || surface == nullptr) return;
    gtk_shell1* shell = GtkShell(display);
    if (shell == nullptr) return;  // not mutter: the compositor opens children over their parent
    // Qt-owned: a child of the window, gone once unmarked or with the window.
    new DialogMark(window, display, gtk_shell1_get_gtk_surface(shell, surface));
#else
    (void)window;
#endif
}

}  // namespace wayland
