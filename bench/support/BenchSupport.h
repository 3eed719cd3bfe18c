// What the benchmarks that drive the whole editor process share: starting
// and stopping processes, their CPU time and peak memory, a screenshot-like
// picture, and a small xcb view of the X server (windows mapped, pixels
// shown, clipboard owners, close requests).
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Starts a program found on PATH; with newGroup it leads a process group of
// its own, so that it and its children can be stopped together.
inline pid_t Spawn(const std::vector<std::string>& args, bool newGroup = false) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (newGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return failed != 0 ? -1 : pid;
}

inline int Run(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// VmHWM of a process in KiB.
inline long PeakKiB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// CPU time in ms a process has used so far over all its threads, also those
// that have already ended (the kernel's exact run time, not tick samples).
inline double ProcessCpuMs(pid_t pid) {
    clockid_t clock{};
    timespec time{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &time) != 0) return -1;
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

// A screenshot-like picture: a light title strip at the top left (what the
// bench looks for on screen), windows with text, a smooth photo area.
inline QImage SyntheticScreenshot(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(30, 60, 110));
    gradient.setColorAt(1, QColor(220, 230, 240));
    painter.fillRect(picture.rect(), gradient);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    for (int y = 40; y < height; y += 220) {
        for (int x = 0; x < width; x += 420) {
            painter.fillRect(x + 10, y + 10, 400, 200, QColor(245, 245, 245));
            painter.fillRect(x + 10, y + 10, 400, 24, QColor((x / 3) % 256, (y / 5) % 256, 180));
            painter.setPen(Qt::black);
            for (int line = 0; line < 8; ++line) {
                painter.drawText(x + 20, y + 56 + line * 18,
                                 QStringLiteral("Zeile %1: Messwerte %2 / %3").arg(line).arg(x).arg(y));
            }
        }
    }
    painter.end();
    // A photo in the lower right quarter: smooth shapes and a little grain.
    std::uint32_t seed = 12345;
    for (int y = height / 2; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = width / 2; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            const int r = std::clamp(
                128 + static_cast<int>(100 * std::sin(x / 97.0) * std::cos(y / 53.0)) + grain, 0, 255);
            const int g = std::clamp(100 + (x * 3 + y) % 120 + grain, 0, 255);
            const int b = std::clamp(90 + static_cast<int>(60 * std::sin((x + y) / 131.0)) + grain, 0, 255);
            row[x] = qRgb(r, g, b);
        }
    }
    // The strip the bench waits for.
    QPainter(&picture).fillRect(0, 0, std::min(width, 600), 40, QColor(200, 210, 225));
    return picture;
}

// --- the X side ----------------------------------------------------------------

class XScreen {
  public:
    XScreen() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) != 0) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // Windows mapped, and the answers to pings (sent to the root window
        // for structure-notify listeners).
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~XScreen() { xcb_disconnect(connection_); }
    bool ok() const { return xcb_connection_has_error(connection_) == 0; }

    void Drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) free(event);
    }

    // The first top-level window mapped before the deadline (0 if none).
    xcb_window_t WaitForMap(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (event == nullptr) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            xcb_window_t mapped = 0;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (map->override_redirect == 0) mapped = map->window;
            }
            free(event);
            if (mapped != 0) return mapped;
        }
        return 0;
    }

    // True when every pixel of the 4 x 4 block at (x, y) of the window is
    // painted with something other than black (the root and an unpainted
    // window show black or the black-and-white weave).
    bool Painted(xcb_window_t window, int x, int y) {
        auto cookie = xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(x),
                                    static_cast<int16_t>(y), 4, 4, ~0u);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        if (reply == nullptr) return false;
        const uint8_t* data = xcb_get_image_data(reply);
        const int length = xcb_get_image_data_length(reply);
        bool painted = length >= 64;
        for (int i = 0; painted && i + 3 < length; i += 4) painted = data[i] + data[i + 1] + data[i + 2] > 60;
        free(reply);
        return painted;
    }

    // The blue value at (x, y) of the window.
    int BlueAt(xcb_window_t window, int x, int y) {
        auto cookie = xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(x),
                                    static_cast<int16_t>(y), 1, 1, ~0u);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        if (reply == nullptr) return -1;
        const int blue = xcb_get_image_data_length(reply) >= 4 ? xcb_get_image_data(reply)[0] : -1;
        free(reply);
        return blue;
    }

    // Top-left corner of the window on the screen.
    std::pair<int, int> Origin(xcb_window_t window) {
        auto cookie = xcb_translate_coordinates(connection_, window, root_, 0, 0);
        xcb_translate_coordinates_reply_t* reply =
            xcb_translate_coordinates_reply(connection_, cookie, nullptr);
        if (reply == nullptr) return {0, 0};
        const std::pair<int, int> origin{reply->dst_x, reply->dst_y};
        free(reply);
        return origin;
    }

    // The window that owns the named selection (0 for none).
    xcb_window_t SelectionOwner(const char* selection) {
        auto cookie = xcb_get_selection_owner(connection_, Atom(selection));
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(connection_, cookie, nullptr);
        const xcb_window_t owner = reply != nullptr ? reply->owner : 0;
        free(reply);
        return owner;
    }

    // Asks the window to close, as a window manager does, and waits until
    // the X server has taken the request.
    void RequestClose(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = Atom("WM_PROTOCOLS");
        message.data.data32[0] = Atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        Sync();
    }

    // Asks the window whether it still answers, as a window manager does
    // (_NET_WM_PING), and waits for the answer: the round trip in ms, or -1
    // when none came before the deadline.
    double Ping(xcb_window_t window, Clock::time_point deadline) {
        const xcb_atom_t ping = Atom("_NET_WM_PING");
        const std::uint32_t serial = ++pings_;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = Atom("WM_PROTOCOLS");
        message.data.data32[0] = ping;
        message.data.data32[1] = serial;  // the time stamp field, which the answer carries back
        message.data.data32[2] = window;
        const Clock::time_point sent = Clock::now();
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
        // The answer goes to the root window, which this connection watches.
        while (Clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (event == nullptr) {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                continue;
            }
            bool answered = false;
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* answer = reinterpret_cast<xcb_client_message_event_t*>(event);
                answered = answer->window == root_ && answer->data.data32[0] == ping &&
                           answer->data.data32[1] == serial;
            }
            free(event);
            if (answered) return MsSince(sent);
        }
        return -1;
    }

    // Takes the clipboard from whoever holds it and lets it go again, as a
    // copy in another program would end the holder's ownership.
    void TakeClipboard() {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(connection_, window, Atom("CLIPBOARD"), XCB_CURRENT_TIME);
        xcb_set_selection_owner(connection_, XCB_NONE, Atom("CLIPBOARD"), XCB_CURRENT_TIME);
        xcb_destroy_window(connection_, window);
        Sync();
    }

  private:
    xcb_atom_t Atom(const char* name) {
        auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }

    // A round trip: every request sent before has been carried out. A
    // client that sends an event and ends at once can lose it.
    void Sync() { free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    std::uint32_t pings_ = 0;
};

// Points of the editor window (client coordinates) the benchmarks use.
constexpr int kStripX = 700, kStripY = 2;    // tool-bar strip, right of the controls
constexpr int kCanvasX = 40, kCanvasY = 40;  // inside the picture's light strip

struct Started {
    pid_t pid = -1;
    xcb_window_t window = 0;
    double mappedMs = 0;
    double shownMs = 0;
    double cpuMs = 0;  // the editor's CPU time until shown, threads that ended included
};

// What StartEditor waits for besides the tool-bar strip.
enum class ShownWith { PictureCorner, StripOnly };

// Starts the editor and waits until its window shows (with `picture`, also
// the picture's corner, unless `shownWith` says otherwise), at most
// `patience` long.
inline std::optional<Started> StartEditor(XScreen& display, const std::string& editor,
                                          const std::string& picture,
                                          ShownWith shownWith = ShownWith::PictureCorner,
                                          std::chrono::seconds patience = std::chrono::seconds(30)) {
    display.Drain();
    std::vector<std::string> args{editor};
    if (!picture.empty()) args.push_back(picture);
    const Clock::time_point start = Clock::now();
    Started started;
    started.pid = Spawn(args);
    if (started.pid < 0) return std::nullopt;
    const Clock::time_point deadline = start + patience;
    started.window = display.WaitForMap(deadline);
    started.mappedMs = MsSince(start);
    if (started.window == 0) {
        Stop(started.pid);
        return std::nullopt;
    }
    while (Clock::now() < deadline) {
        if (display.Painted(started.window, kStripX, kStripY) &&
            (picture.empty() || shownWith == ShownWith::StripOnly ||
             display.Painted(started.window, kCanvasX, 29 + kCanvasY))) {
            started.shownMs = MsSince(start);
            started.cpuMs = ProcessCpuMs(started.pid);
            return started;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    Stop(started.pid);
    return std::nullopt;
}

inline void Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    Run(command);
}

constexpr int kToolsX = 185, kToolsY = 14;    // the tools button
constexpr int kMarkerX = 186, kMarkerY = 62;  // the highlighter in the tools pop-up

// Chooses the highlighter (press on the tools button, slide onto it, let go).
inline void ChooseHighlighter(XScreen& display, const Started& started) {
    const auto [wx, wy] = display.Origin(started.window);
    auto step = [&](const std::vector<std::string>& args) {
        Xdotool(args);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    };
    auto at = [&](int x, int y) {
        return std::vector<std::string>{"mousemove", std::to_string(wx + x), std::to_string(wy + y)};
    };
    step(at(kToolsX, kToolsY));
    step({"mousedown", "1"});
    step(at(kToolsX, kToolsY + 20));
    step(at(kMarkerX, kMarkerY));
    step(at(kMarkerX, kMarkerY + 1));
    step({"mouseup", "1"});
}

}  // namespace bench
