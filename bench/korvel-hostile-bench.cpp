// Hostile JPEG files against the whole editor process under an X server (run
// it under xvfb-run; no window manager needed). The files are progressive
// JPEGs claiming 16384 x 16384 pixels that repeat one short scan 1000 times
// (15 KB) and 3000 times (45 KB): a decoder that walks the whole picture for
// every scan spends seconds on each thousand. For comparison, an honest
// picture of that size: flat grey in two whole scans (520 KB), whose decode
// takes its time.
//
// - named on the command line: the time from the start of the process until
//   its window shows (the tool-bar strip painted), and whether the picture
//   came up or was refused;
// - pasted (xclip serves the file as image/jpeg, xdotool presses Ctrl+V):
//   the window's answers to _NET_WM_PING, asked back to back from the key
//   press on for a few seconds as a window manager asks whether a window
//   still lives; the longest round trip is the longest the window was away.
//
// Figures are medians over the runs (the longest gap: the longest of all).
// Usage: korvel-hostile-bench EDITOR [--runs N] [--ping-seconds S]
//        korvel-hostile-bench --write-files FOLDER
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "support/BenchSupport.h"
#include "support/HandMadeJpeg.h"

namespace {

using namespace bench;

using test_support::HandMadeScan;

// How long a picture named on the command line may take to show after the
// window did.
constexpr int kPictureWaitMs = 10000;

struct TestFile {
    const char* name;
    QByteArray bytes;
    std::string path;
};

// A DC scan with five bytes of data, `repeats` times: the decoder runs out of
// data after 40 blocks and, if it goes on, walks the other four million as
// grey, scan after scan.
QByteArray Hostile(int repeats) {
    return test_support::HandMadeProgressiveJpeg(
        16384, 16384,
        std::vector<HandMadeScan>(static_cast<std::size_t>(repeats), {0, 0, 0, 0, QByteArray(5, '\0')}));
}

QByteArray HonestFlat() {
    const long blocks = 2048L * 2048;
    return test_support::HandMadeProgressiveJpeg(16384, 16384,
                                                 {{0, 0, 0, 0, test_support::FlatScanData(blocks, false)},
                                                  {1, 63, 0, 0, test_support::FlatScanData(blocks, true)}});
}

std::vector<TestFile> Files() {
    return {{"1000 scans", Hostile(1000), {}},
            {"3000 scans", Hostile(3000), {}},
            {"honest 16384 x 16384", HonestFlat(), {}}};
}

bool WriteFiles(const QString& folder, std::vector<TestFile>& files) {
    for (TestFile& file : files) {
        const QString path =
            folder + QStringLiteral("/%1.jpg").arg(QString::fromLatin1(file.name).replace(' ', '-'));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) < 0) return false;
        file.path = path.toStdString();
        std::printf("%s: %s, %lld bytes\n", file.name, file.path.c_str(), static_cast<long long>(out.size()));
    }
    return true;
}

// True when the canvas shows a picture (the refused one leaves it black).
bool PictureShown(XScreen& display, const Started& started) {
    return display.Painted(started.window, kCanvasX, 29 + kCanvasY);
}

struct PasteResult {
    double longestGapMs = 0;
    int pings = 0;
    bool pictureShown = false;
};

// Pastes `file` into a fresh editor and pings it back to back for
// `pingSeconds`; a ping sent then is still waited for, up to two minutes.
// Then the picture has a while longer to show.
std::optional<PasteResult> Paste(XScreen& display, const std::string& editor, const std::string& file,
                                 double pingSeconds) {
    const auto started = StartEditor(display, editor, {});
    if (!started) return std::nullopt;
    if (Run({"xclip", "-selection", "clipboard", "-t", "image/jpeg", "-i", file}) != 0) {
        std::fprintf(stderr, "xclip failed (is it installed?)\n");
        Stop(started->pid);
        return std::nullopt;
    }
    display.Drain();
    Xdotool({"key", "ctrl+v"});
    PasteResult result;
    const Clock::time_point start = Clock::now();
    while (MsSince(start) < pingSeconds * 1000) {
        const double roundTrip = display.Ping(started->window, Clock::now() + std::chrono::minutes(2));
        if (roundTrip < 0) {
            result.longestGapMs = -1;
            break;
        }
        result.longestGapMs = std::max(result.longestGapMs, roundTrip);
        ++result.pings;
    }
    const Clock::time_point pinged = Clock::now();
    while (!(result.pictureShown = PictureShown(display, *started)) && MsSince(pinged) < kPictureWaitMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Stop(started->pid);
    display.TakeClipboard();  // xclip ends once another program has the clipboard
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s EDITOR [--runs N] [--ping-seconds S]\n", argv[0]);
        return 2;
    }
    QCoreApplication application(argc, argv);
    std::vector<TestFile> files = Files();
    if (std::strcmp(argv[1], "--write-files") == 0) return argc > 2 && WriteFiles(argv[2], files) ? 0 : 1;
    const std::string editor = argv[1];
    int runs = 3;
    double pingSeconds = 5;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--ping-seconds") == 0) pingSeconds = std::max(0.1, std::atof(argv[i + 1]));
    }
    QTemporaryDir folder;
    if (!folder.isValid() || !WriteFiles(folder.path(), files)) return 1;
    XScreen display;
    if (!display.ok()) {
        std::fprintf(stderr, "no X server (run under xvfb-run)\n");
        return 1;
    }

    std::vector<double> shownMedians;
    for (const TestFile& file : files) {
        std::vector<double> shown;
        std::vector<double> pictureMs;  // from the start of the process, where the picture came up
        for (int run = 0; run < runs; ++run) {
            const Clock::time_point start = Clock::now();
            const auto started =
                StartEditor(display, editor, file.path, ShownWith::StripOnly, std::chrono::seconds(300));
            if (!started) {
                std::fprintf(stderr, "the editor did not show within 300 s\n");
                return 1;
            }
            shown.push_back(started->shownMs);
            // A picture still decoding arrives in the window already shown;
            // a refused one never does.
            while (MsSince(start) < started->shownMs + kPictureWaitMs) {
                if (PictureShown(display, *started)) {
                    pictureMs.push_back(MsSince(start));
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            Stop(started->pid);
        }
        shownMedians.push_back(Median(shown));
        std::printf("%s, command line: window shown after %.1f ms (slowest %.1f ms); ", file.name,
                    Median(shown), *std::max_element(shown.begin(), shown.end()));
        if (pictureMs.empty()) {
            std::printf("picture refused (not shown within %d s) in all %d runs\n", kPictureWaitMs / 1000,
                        runs);
        } else {
            std::printf("picture shown after %.1f ms in %zu of %d runs\n", Median(pictureMs),
                        pictureMs.size(), runs);
        }

        double longest = 0;
        std::vector<double> gaps;
        int pictureRuns = 0;
        int pings = 0;
        for (int run = 0; run < runs; ++run) {
            const auto pasted = Paste(display, editor, file.path, pingSeconds);
            if (!pasted) return 1;
            if (pasted->longestGapMs < 0) {
                std::printf("%s, pasted: the window did not answer within two minutes\n", file.name);
                longest = -1;
                break;
            }
            gaps.push_back(pasted->longestGapMs);
            longest = std::max(longest, pasted->longestGapMs);
            pings += pasted->pings;
            if (pasted->pictureShown) ++pictureRuns;
        }
        if (longest >= 0) {
            std::printf(
                "%s, pasted: longest ping gap %.1f ms (median of the runs' longest %.1f ms, %d pings); "
                "picture shown %d of %d\n",
                file.name, longest, Median(gaps), pings, pictureRuns, runs);
        }
    }
    std::printf("command line, 3000 against 1000 scans: %.2f x\n", shownMedians[1] / shownMedians[0]);
    return 0;
}
