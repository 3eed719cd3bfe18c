// Save benchmark: a JPEG save by stage (copy, sample, encode, write) and end
// to end through the save command (from Enter to the closed file), on a 4K
// and an 8K screenshot-like picture; or one save of a given picture, to be
// timed as a whole process.
//
// Usage: korvel-save-bench [PICTURE] [--repeat N]
//        korvel-save-bench --once PICTURE
// Without PICTURE synthetic screenshot-like pictures of 3840 x 2160 and
// 7680 x 4320 are used. --once loads PICTURE into the editor, saves it once
// as JPEG through the save command and prints the save's time and how much
// it raised the peak memory of the process, in copies of the picture (4 bytes
// per pixel).
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
#include <fstream>
#include <string>
#include <vector>

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

// A field of /proc/self/status in KiB (VmRSS, VmHWM), 0 when unreadable.
long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    }
    return 0;
}

// Starts the peak (VmHWM) afresh at the present size.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// An editor on a temporary picture folder, the picture on its canvas.
struct Editor {
    QTemporaryDir dir;
    QString folder = dir.path() + QStringLiteral("/");
    bool failed = false;
    program::ProgramContext values;
    std::unique_ptr<frmCapture> form;
    std::unique_ptr<test_support::EditorControls> controls;

    explicit Editor(const QImage& picture) {
        values.paths.strIniFile = folder + QStringLiteral("bench.ini");
        values.settings = program::Settings(values.paths.strIniFile);
        values.messages = [this](const QString& prompt, int, const QString&) {
            std::fprintf(stderr, "message: %s\n", qPrintable(prompt));
            failed = true;
        };
        form = std::make_unique<frmCapture>(values);
        form->State().SetPictureFolder(folder);
        controls = std::make_unique<test_support::EditorControls>(*form);
        form->State().Canvas().SetPicture(picture);
        form->SetPictureName(QStringLiteral("Shot"));
    }
    int Quality() const { return controls->qualityScroll.value(); }
};

// Stage medians and end-to-end figures of one picture; false on failure.
bool Measure(const QImage& picture, int repeat) {
    Editor editor(picture);
    const double megapixels = picture.width() * static_cast<double>(picture.height()) / 1e6;
    std::printf("picture %d x %d (%.2f MP), JPEG quality %d, %d runs\n", picture.width(), picture.height(),
                megapixels, editor.Quality(), repeat);

    std::vector<double> copy, sample, encode, write;
    for (int run = 0; run < repeat; ++run) {
        const QString base = editor.folder + QStringLiteral("stage%1").arg(run);
        // The save's own stages, each timed here; the encoder assembles the
        // file in memory before writing it, so an assembly on its own splits
        // encoding from writing.
        commands::JpegSave save;
        QElapsedTimer clock;
        clock.start();
        bool ok = save.Copy(editor.form->State().Canvas().Image());
        copy.push_back(Ms(clock));
        clock.restart();
        ok = ok && save.Sample(editor.Quality());
        sample.push_back(Ms(clock));
        if (run == 0 && ok) {
            std::size_t kept = 0;
            for (const auto& component : save.Encoder().State().components)
                kept += component.coefficients.Bytes();
            std::printf("coefficients kept: %.1f MiB (%.2f picture copies)\n", kept / 1048576.0,
                        kept / (4.0 * picture.width() * picture.height()));
        }
        clock.restart();
        if (ok) (void)save.Encoder().EncodeToMemory();
        encode.push_back(Ms(clock));
        clock.restart();
        ok = ok && save.Write(base + ".jpg");
        write.push_back(std::max(0.0, Ms(clock) - encode.back()));
        if (!ok) {
            std::fprintf(stderr, "JPEG write failed\n");
            return false;
        }
        QFile::remove(base + ".jpg");
    }
    std::printf("stage medians (ms): copy %.1f | sample %.1f | encode %.1f | write %.1f\n", Median(copy),
                Median(sample), Median(encode), Median(write));

    std::vector<double> total;
    for (int run = 0; run < repeat; ++run) {
        QElapsedTimer clock;
        clock.start();
        editor.form->OnButtonClick(ToolbarButton::Save);
        total.push_back(Ms(clock));
        if (editor.failed) return false;
    }
    const qint64 jpegBytes = QFileInfo(editor.folder + QStringLiteral("Shot.jpg")).size();
    std::printf("JPEG file %lld bytes\n", static_cast<long long>(jpegBytes));
    const double median = Median(total);
    std::printf("end to end (Enter to closed file): median %.1f ms, best %.1f ms, %.1f MP/s\n", median,
                *std::min_element(total.begin(), total.end()), megapixels / (median / 1000.0));
    return true;
}

// One save of the picture through the command, with its peak memory.
int SaveOnce(const QImage& picture) {
    Editor editor(picture);
    const double pictureKiB = picture.width() * 4.0 * picture.height() / 1024.0;
    ResetPeak();
    const long before = StatusKiB("VmRSS");
    QElapsedTimer clock;
    clock.start();
    editor.form->OnButtonClick(ToolbarButton::Save);
    const double ms = Ms(clock);
    const long peak = StatusKiB("VmHWM");
    if (editor.failed) return 1;
    const qint64 jpegBytes = QFileInfo(editor.folder + QStringLiteral("Shot.jpg")).size();
    std::printf("picture %d x %d, save (Enter to closed file) %.1f ms, JPEG %lld bytes\n", picture.width(),
                picture.height(), ms, static_cast<long long>(jpegBytes));
    std::printf(
        "resident before the save %.1f MiB, peak during it %.1f MiB: the save added %.1f MiB = %.2f "
        "picture copies\n",
        before / 1024.0, peak / 1024.0, (peak - before) / 1024.0, (peak - before) / pictureKiB);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    int repeat = 5;
    bool once = false;
    QString input;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else {
            input = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (once && input.isEmpty()) {
        std::fprintf(stderr, "usage: korvel-save-bench --once PICTURE\n");
        return 2;
    }
    if (!input.isEmpty()) {
        const QImage picture = LoadPictureFile(input);
        if (picture.isNull()) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        return once ? SaveOnce(picture) : (Measure(picture, repeat) ? 0 : 1);
    }
    for (const QSize size : {QSize(3840, 2160), QSize(7680, 4320)}) {
        if (!Measure(SyntheticScreenshot(size.width(), size.height()), repeat)) return 1;
    }
    return 0;
}
