// What a press costs on a large picture, measured on the whole editor process
// under an X server (run it under xvfb-run; no window manager needed):
//
// - for the first three highlighter presses on a freshly opened picture, the
//   time from the press (xdotool's mousedown, its own start included) until
//   the press's spot shows on the screen;
// - with --reader, after each of four strokes another program reads the
//   clipboard as image/png (xclip), while a window manager's _NET_WM_PING
//   goes to the editor back to back: the longest time the editor took to
//   answer one, and whether each read gave the whole picture.
//
// Usage: korvel-press-bench EDITOR [--size WIDTHxHEIGHT] [--runs N] [--reader]
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <thread>

#include "support/BenchSupport.h"

namespace {

using namespace bench;

// Pings a window as a window manager does, one ping after the other, on a
// connection of its own, and keeps the longest round trip.
class Pinger {
  public:
    explicit Pinger(xcb_window_t window) : window_(window) {
        connection_ = xcb_connect(nullptr, nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // The answer goes to the root window for its substructure redirect:
        // only the client that selected that (the window manager; here this
        // one, as none runs) receives it.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        protocols_ = Atom("WM_PROTOCOLS");
        ping_ = Atom("_NET_WM_PING");
        thread_ = std::thread([this] { Run(); });
    }
    ~Pinger() {
        stop_ = true;
        thread_.join();
        xcb_disconnect(connection_);
    }
    // The longest answer since the last call, in milliseconds (a ping still
    // unanswered counts with the time it has waited so far).
    double TakeLongest() { return longest_.exchange(0); }
    int Answered() const { return answered_; }

  private:
    xcb_atom_t Atom(const char* name) {
        auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }
    void Note(double ms) {
        double seen = longest_.load();
        while (ms > seen && !longest_.compare_exchange_weak(seen, ms)) {
        }
    }
    void Run() {
        std::uint32_t serial = 0;
        while (!stop_) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = window_;
            message.type = protocols_;
            message.data.data32[0] = ping_;
            message.data.data32[1] = ++serial;  // stands for the timestamp
            message.data.data32[2] = window_;
            const Clock::time_point sent = Clock::now();
            xcb_send_event(connection_, 0, window_, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&message));
            xcb_flush(connection_);
            bool back = false;
            while (!back && !stop_) {
                xcb_generic_event_t* event = xcb_poll_for_event(connection_);
                if (event == nullptr) {
                    Note(MsSince(sent));

                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                    continue;
                }
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    const auto* reply = reinterpret_cast<xcb_client_message_event_t*>(event);
                    back = reply->window == root_ && reply->data.data32[0] == ping_ &&
                           reply->data.data32[1] == serial;
                }
                free(event);
            }
            if (back) {
                Note(MsSince(sent));
                ++answered_;
            }
        }
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_window_t window_;
    xcb_atom_t protocols_ = 0;
    xcb_atom_t ping_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

// The image/png another program reads from the clipboard now.
QImage ReadClipboardPng(const QString& into) {
    const std::string command = "xclip -selection clipboard -t image/png -o > '" + into.toStdString() + "'";
    if (Run({"sh", "-c", command}) != 0) return {};
    return QImage(into, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s EDITOR [--size WIDTHxHEIGHT] [--runs N] [--reader]\n", argv[0]);
        return 2;
    }
    const std::string editor = argv[1];
    int width = 7680;
    int height = 4320;
    int runs = 3;
    bool reader = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reader") == 0) reader = true;
        if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (i + 1 < argc && std::strcmp(argv[i], "--size") == 0)
            std::sscanf(argv[i + 1], "%dx%d", &width, &height);
    }
    QGuiApplication application(argc, argv);  // fonts for the synthetic picture
    QTemporaryDir folder;
    const QString bmp = folder.path() + QStringLiteral("/press.bmp");
    if (!folder.isValid() || !SyntheticScreenshot(width, height).save(bmp, "BMP")) return 1;
    XScreen display;
    if (!display.ok()) {
        std::fprintf(stderr, "no X server (run under xvfb-run)\n");
        return 1;
    }
    std::printf("picture %d x %d, %d runs%s\n", width, height, runs,
                reader ? ", a clipboard read after each stroke" : "");
    std::vector<std::vector<double>> pressMs(3);
    std::vector<double> longestPing;
    std::vector<double> readMs;
    int wholeReads = 0;
    int reads = 0;
    for (int run = 0; run < runs; ++run) {
        const auto started = StartEditor(display, editor, bmp.toStdString());
        if (!started) {
            std::fprintf(stderr, "the editor did not show\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        ChooseHighlighter(display, *started);
        const auto [wx, wy] = display.Origin(started->window);
        std::unique_ptr<Pinger> pinger;
        if (reader) pinger = std::make_unique<Pinger>(started->window);
        for (int press = 0; press < (reader ? 4 : 3); ++press) {
            // On the light strip at the top of the picture: the yellow
            // highlighter masks its blue away.
            const int x = 100 + 120 * press;
            const int y = 29 + 10 + 6 * press;
            Xdotool({"mousemove", std::to_string(wx + x), std::to_string(wy + y)});
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            const Clock::time_point start = Clock::now();
            Xdotool({"mousedown", "1"});
            double shown = -1;
            while (MsSince(start) < 10000) {
                if (display.BlueAt(started->window, x, y) == 0) {
                    shown = MsSince(start);
                    break;
                }
            }
            Xdotool({"mousemove", std::to_string(wx + x + 40), std::to_string(wy + y)});
            Xdotool({"mouseup", "1"});
            if (press < 3) pressMs[static_cast<std::size_t>(press)].push_back(shown);
            if (reader) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                (void)pinger->TakeLongest();
                const Clock::time_point readStart = Clock::now();
                const QImage read = ReadClipboardPng(folder.path() + QStringLiteral("/read.png"));
                readMs.push_back(MsSince(readStart));
                ++reads;
                if (read.size() == QSize(width, height)) ++wholeReads;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                longestPing.push_back(pinger->TakeLongest());
            }
        }
        pinger.reset();
        Stop(started->pid);
    }
    for (std::size_t press = 0; press < pressMs.size(); ++press) {
        const auto& ms = pressMs[press];
        std::printf("press %zu: first pixel after %.1f ms median (min %.1f, max %.1f)\n", press + 1,
                    Median(ms), *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()));
    }
    if (reader) {
        std::printf("clipboard reads: %d of %d gave the whole picture, %.1f ms median each\n", wholeReads,
                    reads, Median(readMs));
        std::printf("longest ping answer around a read: %.1f ms median, %.1f ms max\n", Median(longestPing),
                    *std::max_element(longestPing.begin(), longestPing.end()));
    }
    return 0;
}
