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
    explicit Pinger(xcb_window_t window) : thread_([this, window] { Run(window); }) {}
    ~Pinger() {
        stop_ = true;
        thread_.join();
    }
    // The longest answer since the last call, in milliseconds.
    double TakeLongest() { return longest_.exchange(0); }

  private:
    void Run(xcb_window_t window) {
        XScreen screen;
        while (!stop_) {
            // A ping unanswered for ten seconds counts with those ten.
            const double ms = screen.Ping(window, Clock::now() + std::chrono::seconds(10));
            const double took = ms < 0 ? 10000 : ms;
            double seen = longest_.load();
            while (took > seen && !longest_.compare_exchange_weak(seen, took)) {
            }
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<double> longest_{0};
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
