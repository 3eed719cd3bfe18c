#include "platform/wayland/DesktopPlatform.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <list>
#include <memory>

#ifdef KORVEL_HAVE_WAYLAND
#include <wayland-client.h>

#include "xdg-output-unstable-v1-client-protocol.h"
#endif

namespace wayland {

bool X11PixelsAreDevicePixels(std::span<const OutputPixels> outputs) {
    if (outputs.empty()) return false;
    return std::all_of(outputs.begin(), outputs.end(), [](const OutputPixels& o) {
        if (o.modeWidth <= 0 || o.modeHeight <= 0) return false;
        const bool same = o.layoutWidth == o.modeWidth && o.layoutHeight == o.modeHeight;
        const bool turned = o.layoutWidth == o.modeHeight && o.layoutHeight == o.modeWidth;
        return same || turned;
    });
}

#ifdef KORVEL_HAVE_WAYLAND

namespace {

struct DisplayClose {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};
struct RegistryDestroy {
    void operator()(wl_registry* registry) const { wl_registry_destroy(registry); }
};
struct OutputRelease {
    void operator()(wl_output* output) const { wl_output_destroy(output); }
};
struct XdgOutputDestroy {
    void operator()(zxdg_output_v1* output) const { zxdg_output_v1_destroy(output); }
};
struct XdgManagerDestroy {
    void operator()(zxdg_output_manager_v1* manager) const { zxdg_output_manager_v1_destroy(manager); }
};

struct Output {
    std::unique_ptr<wl_output, OutputRelease> output;
    std::unique_ptr<zxdg_output_v1, XdgOutputDestroy> xdg;
    OutputPixels pixels;
};

struct Probe {
    std::list<Output> outputs;  // stable addresses: the listeners keep them
    std::unique_ptr<zxdg_output_manager_v1, XdgManagerDestroy> manager;
};

void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                int32_t) {}
void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
    auto& pixels = static_cast<Output*>(data)->pixels;
    pixels.modeWidth = width;
    pixels.modeHeight = height;
}
void OnOutputDone(void*, wl_output*) {}
void OnScale(void*, wl_output*, int32_t) {}
void OnOutputName(void*, wl_output*, const char*) {}  // version 4 on: never sent at 2
constexpr wl_output_listener kOutputListener = {OnGeometry, OnMode,       OnOutputDone,
                                                OnScale,    OnOutputName, OnOutputName};

void OnLogicalPosition(void*, zxdg_output_v1*, int32_t, int32_t) {}
void OnLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
    auto& pixels = static_cast<Output*>(data)->pixels;
    pixels.layoutWidth = width;
    pixels.layoutHeight = height;
}
void OnXdgDone(void*, zxdg_output_v1*) {}
void OnName(void*, zxdg_output_v1*, const char*) {}
void OnDescription(void*, zxdg_output_v1*, const char*) {}
constexpr zxdg_output_v1_listener kXdgOutputListener = {OnLogicalPosition, OnLogicalSize, OnXdgDone, OnName,
                                                        OnDescription};

void OnOutputGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
    auto& probe = *static_cast<Probe*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        // Version 2 has the mode and done events; later ones add only
        // events this probe does not need.
        Output& output = probe.outputs.emplace_back();
        output.output.reset(static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 2u))));
        wl_output_add_listener(output.output.get(), &kOutputListener, &output);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        probe.manager.reset(static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u))));
    }
}
void OnOutputGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kOutputRegistryListener = {OnOutputGlobal, OnOutputGlobalRemove};

}  // namespace

std::vector<OutputPixels> CompositorOutputs() {
    const std::unique_ptr<wl_display, DisplayClose> display(wl_display_connect(nullptr));
    if (display == nullptr) return {};
    Probe probe;
    const std::unique_ptr<wl_registry, RegistryDestroy> registry(wl_display_get_registry(display.get()));
    wl_registry_add_listener(registry.get(), &kOutputRegistryListener, &probe);
    if (wl_display_roundtrip(display.get()) < 0 || probe.manager == nullptr) return {};
    for (Output& output : probe.outputs) {
        output.xdg.reset(zxdg_output_manager_v1_get_xdg_output(probe.manager.get(), output.output.get()));
        zxdg_output_v1_add_listener(output.xdg.get(), &kXdgOutputListener, &output);
    }
    if (wl_display_roundtrip(display.get()) < 0) return {};
    std::vector<OutputPixels> found;
    for (const Output& output : probe.outputs) found.push_back(output.pixels);
    // The objects go before the connection (declared after it).
    probe.outputs.clear();
    probe.manager.reset();
    return found;
}

#else

std::vector<OutputPixels> CompositorOutputs() {
    return {};
}

#endif

void ChooseQtPlatform() {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP").toUpper();
    bool gnome = false;
    for (const QByteArray& name : desktop.split(':')) gnome = gnome || name == "GNOME";
    // Should that X display turn out unreachable (no authority, Xwayland
    // switched off), Qt goes on to Wayland rather than not starting at all.
    if (gnome && X11PixelsAreDevicePixels(CompositorOutputs())) qputenv("QT_QPA_PLATFORM", "xcb;wayland");
#endif
}

}  // namespace wayland
