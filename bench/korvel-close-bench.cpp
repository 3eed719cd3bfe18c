// Closing the editor after a copy, measured on the whole editor process under
// an X server (run it under xvfb-run; no window manager needed). Each run:
//
// - starts a clipboard manager when one is given (a fresh one per run, in a
//   process group of its own) and waits until it owns CLIPBOARD_MANAGER;
// - starts the editor on a 3840 x 2160 screenshot-like bitmap, presses on the
//   picture a few times (each press puts the undo snapshot on the clipboard;
//   with --highlighter each press also draws a dot, so that every snapshot
//   differs from the one before) and takes the editor's CPU time per press;
// - clicks the copy button, reads the clipboard as image/png (the picture to
//   expect afterwards), asks the window to close as a window manager does and
//   times the close until the process has ended;
// - reads image/png again from whatever holds the clipboard now and compares
//   the pixels; then takes the clipboard as another program's copy would,
//   times until no clipboard keeper runs any more and counts those still
//   running two seconds later.
//
// Usage: korvel-close-bench EDITOR [--runs N] [--presses N] [--highlighter]
//                           [--picture FILE] [--after-copy MS] [--manager COMMAND ...]
// Everything after --manager is the manager's command line, for example
//   --manager dbus-run-session -- xfce4-clipman
// Needs xdotool and xclip.
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "support/BenchSupport.h"

namespace {

using namespace bench;

constexpr int kCopyX = 100, kCopyY = 14;  // the copy button
constexpr int kPressX = 200, kPressY = 300;
constexpr auto kPressGap = std::chrono::milliseconds(1500);
constexpr auto kCloseLimit = std::chrono::seconds(30);

// The clipboard as image/png, decoded to 32-bit pixels (null when nobody
// serves it).
QImage ClipboardPng() {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 QStringLiteral("-t"), QStringLiteral("image/png")});
    if (!xclip.waitForFinished(15000)) {
        xclip.kill();
        xclip.waitForFinished();
        return {};
    }
    const QByteArray png = xclip.readAllStandardOutput();
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

// Processes serving a picture they were handed when an editor closed.
int KeepersRunning() {
    int count = 0;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmdline(proc.filePath(entry) + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains("--keep-clipboard")) ++count;
    }
    return count;
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class Manager {
  public:
    Manager(XScreen& display, const std::vector<std::string>& command) : display_(display) {
        if (command.empty()) return;
        pid_ = Spawn(command, true);
        ready_ = pid_ > 0 && WaitUntil([&] { return display_.SelectionOwner("CLIPBOARD_MANAGER") != 0; },
                                       std::chrono::seconds(10));
        // Let it settle: a manager reads the clipboard as soon as it starts.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ~Manager() {
        if (pid_ <= 0) return;
        kill(-pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        WaitUntil([&] { return display_.SelectionOwner("CLIPBOARD_MANAGER") == 0; }, std::chrono::seconds(5));
    }
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;
    bool ready() const { return ready_; }

  private:
    XScreen& display_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

struct RunResult {
    double closeMs = 0;
    double cpuPerPressMs = 0;
    std::string pressesMs;  // each press's CPU time (ms), in order
    bool kept = false;
    int keepersLeft = 0;
    double keeperEndMs = -1;  // from another program's copy until no keeper runs (-1: none ran)
};

struct Options {
    int presses = 3;
    bool highlighter = false;
    int afterCopyMs = 200;
};

std::optional<RunResult> RunOnce(XScreen& display, const std::string& editor, const std::string& picture,
                                 const Options& options) {
    const auto started = StartEditor(display, editor, picture);
    if (!started) return std::nullopt;
    if (options.highlighter) ChooseHighlighter(display, *started);
    const std::string window = std::to_string(started->window);
    auto click = [&](int x, int y) {
        Xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"});
    };
    std::this_thread::sleep_for(kPressGap);
    RunResult result;
    const double cpuBefore = ProcessCpuMs(started->pid);
    for (int press = 0; press < options.presses; ++press) {
        const double before = ProcessCpuMs(started->pid);
        click(kPressX + 9 * press, kPressY);
        std::this_thread::sleep_for(kPressGap);
        if (!result.pressesMs.empty()) result.pressesMs += '/';
        result.pressesMs += std::to_string(static_cast<int>(ProcessCpuMs(started->pid) - before + 0.5));
    }
    result.cpuPerPressMs = (ProcessCpuMs(started->pid) - cpuBefore) / std::max(1, options.presses);
    click(kCopyX, kCopyY);
    std::this_thread::sleep_for(std::chrono::milliseconds(options.afterCopyMs));
    const QImage expected = ClipboardPng();

    const Clock::time_point closing = Clock::now();
    display.RequestClose(started->window);
    int status = 0;
    while (waitpid(started->pid, &status, WNOHANG) == 0) {
        if (Clock::now() - closing > kCloseLimit) {
            std::fprintf(stderr, "the editor did not end\n");
            Stop(started->pid);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    result.closeMs = MsSince(closing);

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QImage after = ClipboardPng();
    result.kept = !expected.isNull() && after == expected;
    const bool keeperRan = KeepersRunning() > 0;
    const Clock::time_point taken = Clock::now();
    display.TakeClipboard();
    WaitUntil([] { return KeepersRunning() == 0; }, std::chrono::seconds(2));
    result.keepersLeft = KeepersRunning();
    if (keeperRan && result.keepersLeft == 0) result.keeperEndMs = MsSince(taken);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s EDITOR [--runs N] [--presses N] [--highlighter] [--picture FILE] "
                     "[--after-copy MS] [--manager COMMAND ...]\n",
                     argv[0]);
        return 2;
    }
    const std::string editor = argv[1];
    int runs = 10;
    Options options;
    std::string picture;
    std::vector<std::string> manager;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--manager") {
            manager.assign(argv + i + 1, argv + argc);
            break;
        }
        if (option == "--highlighter") {
            options.highlighter = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[++i]));
        else if (option == "--presses")
            options.presses = std::max(0, std::atoi(argv[++i]));
        else if (option == "--picture")
            picture = argv[++i];
        else if (option == "--after-copy")
            options.afterCopyMs = std::max(0, std::atoi(argv[++i]));
    }
    QGuiApplication application(argc, argv);  // fonts for the synthetic picture
    QTemporaryDir folder;
    if (!folder.isValid()) return 1;
    // A runtime folder of its own: the editor's single-instance lock lives
    // there, so an editor the user has open does not stop the runs.
    setenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit().constData(), 1);
    if (picture.empty()) {
        picture = (folder.path() + QStringLiteral("/close-4k.bmp")).toStdString();
        if (!SyntheticScreenshot(3840, 2160).save(QString::fromStdString(picture), "BMP")) return 1;
    }
    XScreen display;
    if (!display.ok()) {
        std::fprintf(stderr, "no X server (run under xvfb-run)\n");
        return 1;
    }
    if (manager.empty() && display.SelectionOwner("CLIPBOARD_MANAGER") != 0) {
        std::printf("note: a clipboard manager already runs on this display\n");
    }

    std::vector<double> closeMs, cpuMs, keeperEndMs;
    int kept = 0;
    int keepersLeft = 0;
    for (int run = 1; run <= runs; ++run) {
        const Manager running(display, manager);
        if (!manager.empty() && !running.ready()) {
            std::fprintf(stderr, "the clipboard manager did not start\n");
            return 1;
        }
        const auto result = RunOnce(display, editor, picture, options);
        if (!result) {
            std::fprintf(stderr, "the editor did not show\n");
            return 1;
        }
        std::printf(
            "run %d: close %.0f ms, CPU per press %.0f ms (%s), picture kept: %s, keepers left: %d, keeper "
            "end after another copy: %.0f ms\n",
            run, result->closeMs, result->cpuPerPressMs, result->pressesMs.c_str(),
            result->kept ? "yes" : "NO", result->keepersLeft, result->keeperEndMs);
        if (result->keeperEndMs >= 0) keeperEndMs.push_back(result->keeperEndMs);
        std::fflush(stdout);
        closeMs.push_back(result->closeMs);
        cpuMs.push_back(result->cpuPerPressMs);
        kept += result->kept ? 1 : 0;
        keepersLeft += result->keepersLeft;
    }
    std::printf(
        "%s: picture kept %d of %d; close median %.0f ms, max %.0f ms; CPU per press median %.0f ms, "
        "max %.0f ms; keepers left after another copy: %d\n",
        manager.empty() ? "no clipboard manager" : "with a clipboard manager", kept, runs, Median(closeMs),
        *std::max_element(closeMs.begin(), closeMs.end()), Median(cpuMs),
        *std::max_element(cpuMs.begin(), cpuMs.end()), keepersLeft);
    if (!keeperEndMs.empty()) {
        std::printf("keeper end after another copy (%zu runs with a keeper): median %.0f ms, max %.0f ms\n",
                    keeperEndMs.size(), Median(keeperEndMs),
                    *std::max_element(keeperEndMs.begin(), keeperEndMs.end()));
    }
    return kept == runs ? 0 : 1;
}
