// Opening big screenshots, measured on the whole editor process under an X
// server (run it under xvfb-run; no window manager needed):
//
// - time from the start of the process until its window shows: mapped, with
//   the tool-bar strip and the top-left corner of the picture painted; for a
//   3840 x 2160 JPEG (quality 95, 4:4:4) against no picture, and against the
//   whole `djpeg` process decoding the same file;
// - peak memory (VmHWM) of the process for a 7680 x 4320 24-bit bitmap: with
//   no picture, after the open, after one highlighter stroke driven by
//   xdotool and after two more, also in picture copies (32-bit pixels).
//
// Runs alternate between the kinds; the figures are medians.
// Usage: korvel-open-bench EDITOR [--runs N] [--jpeg FILE] [--bmp FILE]
//        korvel-open-bench --write-pictures FOLDER
// Without --jpeg / --bmp synthetic screenshots are written to a temporary
// folder (the JPEG through cjpeg -quality 95 -sample 1x1); --write-pictures
// writes them (open-4k.jpg, open-8k.bmp) to keep for several runs.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int Run(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// VmHWM of a process in KiB.
long PeakKiB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// CPU time in ms a process has used so far, over all its threads (less
// sensitive than the wall clock to other load on the machine).
double CpuMs(pid_t pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task) + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly)) total += stat.readAll().split(' ').value(0).toDouble() / 1e6;
    }
    return total;
}

// A screenshot-like picture: a light title strip at the top left (what the
// bench looks for on screen), windows with text, a smooth photo area.
QImage SyntheticScreenshot(int width, int height) {
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
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
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

  private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

// Points of the editor window (client coordinates) the bench looks at.
constexpr int kStripX = 700, kStripY = 2;     // tool-bar strip, right of the controls
constexpr int kCanvasX = 40, kCanvasY = 40;   // inside the picture's light strip
constexpr int kToolsX = 185, kToolsY = 14;    // the tools button
constexpr int kMarkerX = 186, kMarkerY = 62;  // the highlighter in the tools pop-up

struct Started {
    pid_t pid = -1;
    xcb_window_t window = 0;
    double mappedMs = 0;
    double shownMs = 0;
    double cpuMs = 0;  // the editor's CPU time until shown
};

// Starts the editor and waits until its window shows (with `picture`, also
// the picture's corner).
std::optional<Started> StartEditor(XScreen& display, const std::string& editor, const std::string& picture) {
    display.Drain();
    std::vector<std::string> args{editor};
    if (!picture.empty()) args.push_back(picture);
    const Clock::time_point start = Clock::now();
    Started started;
    started.pid = Spawn(args);
    if (started.pid < 0) return std::nullopt;
    const Clock::time_point deadline = start + std::chrono::seconds(30);
    started.window = display.WaitForMap(deadline);
    started.mappedMs = MsSince(start);
    if (started.window == 0) {
        Stop(started.pid);
        return std::nullopt;
    }
    while (Clock::now() < deadline) {
        if (display.Painted(started.window, kStripX, kStripY) &&
            (picture.empty() || display.Painted(started.window, kCanvasX, 29 + kCanvasY))) {
            started.shownMs = MsSince(start);
            started.cpuMs = CpuMs(started.pid);
            return started;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    Stop(started.pid);
    return std::nullopt;
}

void Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    Run(command);
}

// Chooses the highlighter (press on the tools button, slide onto it, let go).
void ChooseHighlighter(XScreen& display, const Started& started) {
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

// Draws one stroke across the picture at `y` (client coordinates). True when
// the stroke shows.
bool Stroke(XScreen& display, const Started& started, int y) {
    const auto [wx, wy] = display.Origin(started.window);
    auto step = [&](const std::vector<std::string>& args) {
        Xdotool(args);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    };
    auto at = [&](int x) {
        return std::vector<std::string>{"mousemove", std::to_string(wx + x), std::to_string(wy + y)};
    };
    const int blueBefore = display.BlueAt(started.window, 300, y);
    step(at(100));
    step({"mousedown", "1"});
    for (int x = 120; x <= 500; x += 20) step(at(x));
    step({"mouseup", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int blueAfter = display.BlueAt(started.window, 300, y);
    return blueBefore > 0 && blueAfter == 0;  // the yellow marker masks blue away
}

bool WritePictures(const QString& folder, std::string& jpeg, std::string& bmp) {
    if (jpeg.empty()) {
        const QString ppm = folder + QStringLiteral("/open-4k.ppm");
        if (!SyntheticScreenshot(3840, 2160).save(ppm, "PPM")) return false;
        jpeg = (folder + QStringLiteral("/open-4k.jpg")).toStdString();
        if (Run({"cjpeg", "-quality", "95", "-sample", "1x1", "-outfile", jpeg, ppm.toStdString()}) != 0) {
            std::fprintf(stderr, "cjpeg failed (is libjpeg-turbo-progs installed?)\n");
            return false;
        }
        QFile::remove(ppm);
    }
    if (bmp.empty()) {
        bmp = (folder + QStringLiteral("/open-8k.bmp")).toStdString();
        // Qt writes an RGB32 image as a 24-bit bitmap.
        if (!SyntheticScreenshot(7680, 4320).save(QString::fromStdString(bmp), "BMP")) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s EDITOR [--runs N] [--jpeg FILE] [--bmp FILE]\n", argv[0]);
        return 2;
    }
    if (std::strcmp(argv[1], "--write-pictures") == 0) {
        QGuiApplication application(argc, argv);
        std::string jpeg;
        std::string bmp;
        return argc > 2 && WritePictures(QString::fromLocal8Bit(argv[2]), jpeg, bmp) ? 0 : 1;
    }
    const std::string editor = argv[1];
    int runs = 7;
    std::string jpeg;
    std::string bmp;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--jpeg") == 0) jpeg = argv[i + 1];
        if (std::strcmp(argv[i], "--bmp") == 0) bmp = argv[i + 1];
    }
    QGuiApplication application(argc, argv);  // fonts for the synthetic pictures
    QTemporaryDir folder;
    if (!folder.isValid() || !WritePictures(folder.path(), jpeg, bmp)) return 1;
    XScreen display;
    if (!display.ok()) {
        std::fprintf(stderr, "no X server (run under xvfb-run)\n");
        return 1;
    }

    // Time to show, alternating: no picture, the JPEG, djpeg on it.
    std::vector<double> emptyShown, jpegShown, emptyMapped, jpegMapped, emptyCpu, jpegCpu, djpegMs, djpegCpu;
    double childCpu = 0;  // CPU time of the waited-for children so far
    for (int run = 0; run < runs; ++run) {
        for (const bool withPicture : {false, true}) {
            const auto started = StartEditor(display, editor, withPicture ? jpeg : std::string());
            if (!started) {
                std::fprintf(stderr, "the editor did not show\n");
                return 1;
            }
            (withPicture ? jpegShown : emptyShown).push_back(started->shownMs);
            (withPicture ? jpegMapped : emptyMapped).push_back(started->mappedMs);
            (withPicture ? jpegCpu : emptyCpu).push_back(started->cpuMs);
            Stop(started->pid);
            rusage usage{};
            getrusage(RUSAGE_CHILDREN, &usage);
            childCpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        }
        const Clock::time_point start = Clock::now();
        Run({"djpeg", "-outfile", "/dev/null", jpeg});
        djpegMs.push_back(MsSince(start));
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        djpegCpu.push_back(cpu - childCpu);
        childCpu = cpu;
    }
    const double openMs = Median(jpegShown) - Median(emptyShown);
    std::printf("window shown, no picture: %.1f ms (mapped %.1f ms)\n", Median(emptyShown),
                Median(emptyMapped));
    std::printf("window shown, 3840x2160 JPEG: %.1f ms (mapped %.1f ms)\n", Median(jpegShown),
                Median(jpegMapped));
    std::printf("djpeg, whole process: %.1f ms\n", Median(djpegMs));
    std::printf("open cost: %.1f ms = %.2f x djpeg\n", openMs, openMs / Median(djpegMs));
    const double openCpu = Median(jpegCpu) - Median(emptyCpu);
    std::printf(
        "CPU until shown: no picture %.1f ms, JPEG %.1f ms; djpeg %.1f ms; open cost %.1f ms = %.2f x "
        "djpeg\n",
        Median(emptyCpu), Median(jpegCpu), Median(djpegCpu), openCpu, openCpu / Median(djpegCpu));

    // Peak memory, alternating: no picture, the bitmap (after the open and
    // after a stroke).
    std::vector<double> emptyPeak, openPeak, strokePeak, threeStrokesPeak, bmpShown;
    int strokesShown = 0;
    for (int run = 0; run < std::max(1, runs / 2); ++run) {
        for (const bool withPicture : {false, true}) {
            const auto started = StartEditor(display, editor, withPicture ? bmp : std::string());
            if (!started) {
                std::fprintf(stderr, "the editor did not show\n");
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            const double peak = PeakKiB(started->pid) / 1024.0;
            if (!withPicture) {
                emptyPeak.push_back(peak);
            } else {
                openPeak.push_back(peak);
                bmpShown.push_back(started->shownMs);
                ChooseHighlighter(display, *started);
                if (Stroke(display, *started, 29 + 300)) ++strokesShown;
                strokePeak.push_back(PeakKiB(started->pid) / 1024.0);
                // Two more strokes: what a marked-up picture holds for good.
                if (Stroke(display, *started, 29 + 340)) ++strokesShown;
                if (Stroke(display, *started, 29 + 380)) ++strokesShown;
                threeStrokesPeak.push_back(PeakKiB(started->pid) / 1024.0);
            }
            Stop(started->pid);
        }
    }
    std::printf("window shown, 7680x4320 bitmap: %.1f ms\n", Median(bmpShown));
    const double copyMiB = 7680.0 * 4320.0 * 4.0 / (1024.0 * 1024.0);
    const double base = Median(emptyPeak);
    std::printf("peak memory, no picture: %.1f MiB\n", base);
    std::printf("peak memory, 7680x4320 bitmap opened: %.1f MiB (+%.2f picture copies)\n", Median(openPeak),
                (Median(openPeak) - base) / copyMiB);
    std::printf("peak memory, after one highlighter stroke: %.1f MiB (+%.2f picture copies)\n",
                Median(strokePeak), (Median(strokePeak) - base) / copyMiB);
    std::printf(
        "peak memory, after three strokes: %.1f MiB (+%.2f picture copies; %d of %zu strokes shown)\n",
        Median(threeStrokesPeak), (Median(threeStrokesPeak) - base) / copyMiB, strokesShown,
        3 * strokePeak.size());
    return 0;
}
