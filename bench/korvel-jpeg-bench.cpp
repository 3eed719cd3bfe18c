// Encodes a picture the way the save command does and reports the speed.
//
//   korvel-jpeg-bench IN OUT [--repeat N]
//
// IN is a BMP or PNG, read by the program's picture loader. Each run takes
// the picture as the save takes the canvas (its pixels read in place),
// samples it with a cJpeg at quality 95 and saves OUT (replaced by every
// run). One line per run, then the median run in megapixels per second on
// the last line.
#include <QImage>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/SaveSteps.h"
#include "jpeg/JpegError.h"
#include "platform/qt/PictureLoader.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: korvel-jpeg-bench IN OUT [--repeat N]\n");
    return 2;
}

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Milliseconds of the three steps of one save.
struct Steps {
    double copy = 0, sample = 0, save = 0;
};

// One save of the picture to out; false with a message on failure.
bool EncodeOnce(const QImage& image, const std::string& out, Steps& steps) {
    const Clock::time_point start = Clock::now();
    commands::JpegSave save;
    if (!save.Copy(image)) {
        std::fprintf(stderr, "the picture could not be taken\n");
        return false;
    }
    const Clock::time_point copied = Clock::now();
    Clock::time_point sampled;
    try {
        if (!save.Sample(95)) {
            std::fprintf(stderr, "sampling failed\n");
            return false;
        }
        sampled = Clock::now();
        std::error_code ec;
        std::filesystem::remove(out, ec);
        if (save.Encoder().SaveFile(out) != 0) {
            std::fprintf(stderr, "%s could not be replaced\n", out.c_str());
            return false;
        }
    } catch (const jpeg::JpegError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.Number(), e.Description().c_str());
        return false;
    }
    steps = {Milliseconds(start, copied), Milliseconds(copied, sampled), Milliseconds(sampled, Clock::now())};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) return Usage();
    int repeat = 1;
    if (argc == 5) {
        if (std::string(argv[3]) != "--repeat") return Usage();
        repeat = std::atoi(argv[4]);
        if (repeat < 1) return Usage();
    }
    const std::string out = argv[2];

    const Clock::time_point readStart = Clock::now();
    // The save command's own loader (it reads the bitmap it saved before).
    const QImage image = LoadPictureFile(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const double megapixels = static_cast<double>(image.width()) * image.height() / 1e6;
    std::printf("read %s: %.1f ms\n", argv[1], Milliseconds(readStart, Clock::now()));

    std::vector<double> seconds;
    for (int run = 0; run < repeat; ++run) {
        const Clock::time_point start = Clock::now();
        Steps steps;
        if (!EncodeOnce(image, out, steps)) return 1;
        const double took = Milliseconds(start, Clock::now()) / 1e3;
        seconds.push_back(took);
        std::printf(
            "run %d: %.1f ms (take the picture %.1f, sample %.1f, SaveFile %.1f), %.1f megapixels per "
            "second\n",
            run + 1, took * 1e3, steps.copy, steps.sample, steps.save, megapixels / took);
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("%dx%d, %llu bytes\n", image.width(), image.height(),
                static_cast<unsigned long long>(std::filesystem::file_size(out)));
    std::printf("%.2f megapixels per second\n", megapixels / median);
    return 0;
}
