#include "platform/wayland/WaylandClipboardKeeper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>

#include "platform/qt/PictureClipboard.h"
#include "platform/qt/QuietProcess.h"

#ifdef KORVEL_HAVE_WAYLAND
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

#include "wlr-data-control-unstable-v1-client-protocol.h"
#endif

namespace wayland {

namespace {

constexpr int kKeeperTimeoutMs = 3000;

}  // namespace

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool KeepClipboardAtExit() {
    if (!OnWayland()) return false;
    const platform::PictureMimeData* own = platform::OwnClipboardPicture();
    if (own == nullptr || own->Use() != platform::ClipboardUse::Copy) return false;
    if (!ClipboardControlOffered()) return false;
    return StartClipboardKeeper(own->Picture(), QCoreApplication::applicationFilePath(), kKeeperTimeoutMs) !=
           0;
}

qint64 StartClipboardKeeper(const QImage& picture, const QString& programFile, int timeoutMs) {
    const platform::KeeperStart keeper =
        platform::StartKeeperWithPicture(programFile, QString::fromLatin1(kKeepClipboardArgument), picture);
    if (keeper.pid == 0) return 0;
    // The compositor tells this program that its selection was replaced.
    const QDeadlineTimer deadline(timeoutMs);
    while (QGuiApplication::clipboard()->ownsClipboard()) {
        if (deadline.hasExpired()) {
            QFile::remove(keeper.file);
            return 0;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents,
                                        50);
    }
    return keeper.pid;
}

#ifdef KORVEL_HAVE_WAYLAND

namespace {

template <typename T, void (*Destroy)(T*)>
struct Deleter {
    void operator()(T* object) const {
        if (object != nullptr) Destroy(object);
    }
};
template <typename T, void (*Destroy)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Destroy>>;

using Display = Owned<wl_display, wl_display_disconnect>;
using Registry = Owned<wl_registry, wl_registry_destroy>;
using Seat = Owned<wl_seat, wl_seat_destroy>;
using Manager = Owned<zwlr_data_control_manager_v1, zwlr_data_control_manager_v1_destroy>;
using Device = Owned<zwlr_data_control_device_v1, zwlr_data_control_device_v1_destroy>;
using Source = Owned<zwlr_data_control_source_v1, zwlr_data_control_source_v1_destroy>;

// The globals the keeper needs.
struct Globals {
    Seat seat;
    Manager manager;
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/) {
    auto& globals = *static_cast<Globals*>(data);
    const std::string_view kind(interface);
    if (kind == wl_seat_interface.name && !globals.seat) {
        globals.seat.reset(static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1)));
    } else if (kind == zwlr_data_control_manager_v1_interface.name && !globals.manager) {
        globals.manager.reset(static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1)));
    }
}

void OnGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

constexpr wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

// Connects and reads the globals; false when the compositor lacks one.
bool Connect(Display& display, Registry& registry, Globals& globals) {
    display.reset(wl_display_connect(nullptr));
    if (!display) return false;
    registry.reset(wl_display_get_registry(display.get()));
    wl_registry_add_listener(registry.get(), &kRegistryListener, &globals);
    if (wl_display_roundtrip(display.get()) < 0) return false;
    return globals.seat && globals.manager;
}

// One transfer to a reader: the bytes and how far they went.
struct Transfer {
    int fd;
    const QByteArray* bytes;
    qsizetype written = 0;
};

struct Keeper {
    QByteArray bmp;
    QByteArray png;  // encoded when a reader first asks for it
    QImage picture;
    std::list<Transfer> transfers;
    bool done = false;

    const QByteArray* Bytes(std::string_view mime) {
        if (mime == "image/bmp") return &bmp;
        if (mime != "image/png") return nullptr;
        if (png.isEmpty()) png = platform::EncodeClipboardPng(picture);
        return &png;
    }
};

void OnSend(void* data, zwlr_data_control_source_v1* /*source*/, const char* mime, std::int32_t fd) {
    auto& keeper = *static_cast<Keeper*>(data);
    const QByteArray* bytes = keeper.Bytes(mime);
    if (bytes == nullptr || bytes->isEmpty()) {
        ::close(fd);
        return;
    }
    // Written as the reader takes it, beside the compositor's events: a
    // reader that stops reading holds up nobody.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    keeper.transfers.push_back({fd, bytes});
}

void OnCancelled(void* data, zwlr_data_control_source_v1* /*source*/) {
    static_cast<Keeper*>(data)->done = true;  // another program copied
}

constexpr zwlr_data_control_source_v1_listener kSourceListener{OnSend, OnCancelled};

void OnDataOffer(void* /*data*/, zwlr_data_control_device_v1* /*device*/,
                 zwlr_data_control_offer_v1* /*offer*/) {}

void OnSelection(void* /*data*/, zwlr_data_control_device_v1* /*device*/, zwlr_data_control_offer_v1* offer) {
    // The keeper reads nothing: offers of other programs are let go at once.
    if (offer != nullptr) zwlr_data_control_offer_v1_destroy(offer);
}

void OnFinished(void* data, zwlr_data_control_device_v1* /*device*/) {
    static_cast<Keeper*>(data)->done = true;
}

void OnPrimarySelection(void* /*data*/, zwlr_data_control_device_v1* /*device*/,
                        zwlr_data_control_offer_v1* offer) {
    if (offer != nullptr) zwlr_data_control_offer_v1_destroy(offer);
}

constexpr zwlr_data_control_device_v1_listener kDeviceListener{OnDataOffer, OnSelection, OnFinished,
                                                               OnPrimarySelection};

// Writes what the reader takes now; true when the transfer is over.
bool Write(Transfer& transfer) {
    while (transfer.written < transfer.bytes->size()) {
        const ssize_t n = ::write(transfer.fd, transfer.bytes->constData() + transfer.written,
                                  static_cast<std::size_t>(transfer.bytes->size() - transfer.written));
        if (n > 0) {
            transfer.written += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        if (n < 0 && errno == EINTR) continue;
        break;  // the reader went away
    }
    ::close(transfer.fd);
    return true;
}

}  // namespace

bool ClipboardControlOffered() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return false;
    Display display;
    Registry registry;
    Globals globals;
    return Connect(display, registry, globals);
}

int RunClipboardKeeper(const char* file) {
    // The terminal the editor was started from may close; a reader that goes
    // away mid-transfer must not end the keeper.
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    Keeper keeper;
    keeper.picture = platform::TakeKeeperPicture(QFile::decodeName(file));
    if (keeper.picture.isNull()) return 1;
    keeper.bmp = platform::EncodeClipboardBmp(keeper.picture);

    Display display;
    Registry registry;
    Globals globals;
    if (!Connect(display, registry, globals)) return 1;
    const Device device(
        zwlr_data_control_manager_v1_get_data_device(globals.manager.get(), globals.seat.get()));
    zwlr_data_control_device_v1_add_listener(device.get(), &kDeviceListener, &keeper);
    const Source source(zwlr_data_control_manager_v1_create_data_source(globals.manager.get()));
    zwlr_data_control_source_v1_add_listener(source.get(), &kSourceListener, &keeper);
    zwlr_data_control_source_v1_offer(source.get(), "image/png");
    zwlr_data_control_source_v1_offer(source.get(), "image/bmp");
    zwlr_data_control_device_v1_set_selection(device.get(), source.get());

    wl_display* const wl = display.get();
    while (!keeper.done) {
        while (wl_display_prepare_read(wl) != 0) {
            if (wl_display_dispatch_pending(wl) < 0) return 1;
        }
        wl_display_flush(wl);
        std::vector<pollfd> fds{{wl_display_get_fd(wl), POLLIN, 0}};
        for (const Transfer& transfer : keeper.transfers) fds.push_back({transfer.fd, POLLOUT, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            wl_display_cancel_read(wl);
            return 1;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            if (wl_display_read_events(wl) < 0) return 1;  // the compositor ended
        } else {
            wl_display_cancel_read(wl);
            if ((fds[0].revents & (POLLERR | POLLHUP)) != 0) return 1;
        }
        if (wl_display_dispatch_pending(wl) < 0) return 1;
        std::size_t index = 1;
        for (auto it = keeper.transfers.begin(); it != keeper.transfers.end(); ++index) {
            const bool ready = index < fds.size() && fds[index].revents != 0;
            it = ready && Write(*it) ? keeper.transfers.erase(it) : std::next(it);
        }
    }
    for (const Transfer& transfer : keeper.transfers) ::close(transfer.fd);
    return 0;
}

#else

bool ClipboardControlOffered() {
    return false;
}

int RunClipboardKeeper(const char* file) {
    QFile::remove(QFile::decodeName(file));
    return 1;
}

#endif

}  // namespace wayland
