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
#include <sys/resource.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "support/BenchSupport.h"

namespace {

using namespace bench;

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
