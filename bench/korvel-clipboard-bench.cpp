// What a clipboard reader costs the editor on a 3840 x 2160 screenshot-like
// picture: the PNG of a first picture, the PNG of the next undo snapshot
// (one stroke drawn since: with the band cache the editor keeps, only the
// touched bands are compressed again), and the BMP. Prints process CPU time
// (all threads) and wall time per encoding.
//
//   korvel-clipboard-bench [repeats]      (default 5; runs offscreen without a display)
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "imaging/PngWriter.h"
#include "platform/qt/PictureClipboard.h"

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Panels, lines of text and a noisy photo area.
QImage Screenshot() {
    QImage image(3840, 2160, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter p(&image);
    p.fillRect(0, 0, image.width(), 60, QColor(50, 60, 80));
    p.fillRect(0, 60, 400, image.height() - 60, QColor(220, 225, 230));
    for (int y = 80; y < image.height(); y += 22) {
        p.drawText(
            420, y,
            QStringLiteral("Eintrag %1: Lorem ipsum dolor sit amet, consectetur adipiscing elit").arg(y));
    }
    p.end();
    unsigned seed = 1;
    for (int y = 700; y < 1400; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 1900; x < 3200; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[x] = qRgb(120 + (seed >> 27), 90 + (seed >> 26 & 31), 200 - (seed >> 25 & 63));
        }
    }
    return image;
}

template <class Job>
void Measure(const char* name, int repeats, Job&& job) {
    double cpu = 0, wall = 0;
    long long bytes = 0;
    for (int i = 0; i < repeats; ++i) {
        const double c0 = CpuSeconds(), w0 = WallSeconds();
        bytes = job(i);
        cpu += CpuSeconds() - c0;
        wall += WallSeconds() - w0;
    }
    std::printf("%-34s %8.1f ms cpu %8.1f ms wall %10lld bytes\n", name, cpu * 1000 / repeats,
                wall * 1000 / repeats, bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QImage base = Screenshot();

    // Two pictures of different heights: the cache fits neither, so each
    // write compresses every band.
    const QImage other = base.copy(0, 0, base.width(), base.height() - 1);
    Measure("png, a new picture", repeats,
            [&](int i) { return platform::EncodeClipboardPng(i % 2 == 0 ? base : other).size(); });

    // A stroke after each snapshot: an arrow's shaft somewhere else each time.
    std::vector<QImage> snapshots{base};
    for (int i = 0; i < repeats; ++i) {
        QImage next = snapshots.back().copy();
        QPainter p(&next);
        p.setPen(QPen(Qt::red, 5));
        p.drawLine(500 + 40 * i, 900, 900 + 40 * i, 1000);
        p.end();
        snapshots.push_back(next);
    }
    // The editor's clipboard keeps one band cache for all its snapshots.
    const auto view = [](const QImage& image) {
        return imaging::Rgb32View{image.constBits(), image.width(), image.height(), image.bytesPerLine()};
    };
    imaging::PngBandCache cache;
    imaging::EncodePng(view(snapshots[0]), &cache);
    Measure("png, next snapshot after a stroke", repeats, [&](int i) {
        return imaging::EncodePng(view(snapshots[static_cast<std::size_t>(i) + 1]), &cache).size();
    });
    Measure("bmp", repeats, [&](int) { return platform::EncodeClipboardBmp(base).size(); });
    return 0;
}
