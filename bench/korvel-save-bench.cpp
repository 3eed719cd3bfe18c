// Save benchmark: a 3840 x 2160 picture saved as JPEG, end to end through the
// save command (from the click to the closed file), and the same save split
// into its stages: bitmap write, reload, copy, sample, encode, write.
//
// Usage: korvel-save-bench [PICTURE] [--repeat N]
// Without PICTURE a synthetic screenshot-like picture of 3840 x 2160 is used.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands/BitmapFileWriter.h"
#include "commands/SavePicture.h"
#include "commands/SaveSteps.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureLoader.h"
#include "support/EditorControls.h"
#include "support/TestProgram.h"
#include "widgets/WindowHelpers.h"

namespace {

QImage SyntheticScreenshot(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(30, 60, 110));
    gradient.setColorAt(1, QColor(220, 230, 240));
    painter.fillRect(picture.rect(), gradient);
    painter.setFont(QFont(QStringLiteral("Arial"), 14));
    for (int y = 0; y < height; y += 180) {
        for (int x = 0; x < width; x += 320) {
            painter.fillRect(x + 10, y + 10, 300, 160, QColor((x * 7) % 256, (y * 3) % 256, 200));
            painter.setPen(Qt::black);
            painter.drawText(x + 20, y + 40, QStringLiteral("Fenster %1/%2").arg(x).arg(y));
            painter.drawLine(x + 20, y + 60, x + 290, y + 150);
        }
    }
    return picture;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Ms(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    int repeat = 5;
    QString input;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            input = QString::fromLocal8Bit(argv[i]);
        }
    }
    const QImage picture = input.isEmpty() ? SyntheticScreenshot(3840, 2160) : LoadPictureFile(input);
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
        return 1;
    }

    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");
    bool failed = false;
    program::ProgramContext values;
    values.paths.strIniFile = folder + QStringLiteral("bench.ini");
    values.settings = program::Settings(values.paths.strIniFile);
    values.messages = [&](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt));
        failed = true;
    };
    frmCapture form(values);
    form.State().SetPictureFolder(folder);
    const test_support::EditorControls controls(form);
    const test_support::EditorControls* const ui = &controls;
    form.State().Canvas().SetPicture(picture);
    form.SetPictureName(QStringLiteral("Shot"));
    const double megapixels = picture.width() * static_cast<double>(picture.height()) / 1e6;
    std::printf("picture %d x %d (%.2f MP), JPEG quality %d, %d runs\n", picture.width(), picture.height(),
                megapixels, ui->HScroll2.value(), repeat);

    // Stages.
    std::vector<double> bitmap, reload, copy, sample, encode, write;
    for (int run = 0; run < repeat; ++run) {
        const QString base = folder + QStringLiteral("stage%1").arg(run);
        QElapsedTimer clock;
        clock.start();
        if (!commands::WriteBitmapFile(form.State().Canvas().Image(), base + ".bmp",
                                       commands::FileWriteMode::NewFileOnly)) {
            std::fprintf(stderr, "bitmap write failed\n");
            return 1;
        }
        bitmap.push_back(Ms(clock));
        // The save's own stages, each timed here; the encoder assembles the
        // file in memory before writing it, so an assembly on its own splits
        // encoding from writing.
        clock.restart();
        const QImage reloaded = LoadPictureFile(base + ".bmp");
        reload.push_back(Ms(clock));
        QFile::remove(base + ".bmp");
        commands::JpegSave save;
        clock.restart();
        bool ok = save.Copy(reloaded);
        copy.push_back(Ms(clock));
        clock.restart();
        ok = ok && save.Sample(ui->HScroll2.value());
        sample.push_back(Ms(clock));
        clock.restart();
        if (ok) (void)save.Encoder().EncodeToMemory();
        encode.push_back(Ms(clock));
        clock.restart();
        ok = ok && save.Write(base + ".jpg");
        write.push_back(std::max(0.0, Ms(clock) - encode.back()));
        if (!ok) {
            std::fprintf(stderr, "JPEG write failed\n");
            return 1;
        }
    }
    std::printf(
        "stage medians (ms): bitmap write %.1f | reload %.1f | copy %.1f | sample %.1f | encode %.1f | "
        "write %.1f\n",
        Median(bitmap), Median(reload), Median(copy), Median(sample), Median(encode), Median(write));

    // End to end through the command.
    std::vector<double> total;
    for (int run = 0; run < repeat; ++run) {
        QElapsedTimer clock;
        clock.start();
        form.Command1_Click(1);
        total.push_back(Ms(clock));
        if (failed) return 1;
    }
    const qint64 jpegBytes = QFileInfo(folder + QStringLiteral("Shot.jpg")).size();
    std::printf("JPEG file %lld bytes\n", static_cast<long long>(jpegBytes));
    const double median = Median(total);
    std::printf("end to end (click to closed file): median %.1f ms, best %.1f ms, %.1f MP/s\n", median,
                *std::min_element(total.begin(), total.end()), megapixels / (median / 1000.0));
    return 0;
}
