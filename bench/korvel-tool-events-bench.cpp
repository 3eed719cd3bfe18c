// Canvas tool benchmark on a 7680 x 4320 picture in the editor window: the
// per-event work of the highlighter, the eraser, the crop frame and the hand,
// and the crop itself. Events go through the tool set as the canvas delivers
// them; each figure includes processing the repaint the event asked for.
//
// Usage: korvel-tool-events-bench [--repeat N]   (runs offscreen without a display)
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "editor/frmCapture.h"
#include "support/EditorControls.h"
#include "support/TestProgram.h"
#include "tools/ToolSet.h"

namespace {

constexpr int kWidth = 7680;
constexpr int kHeight = 4320;
constexpr int kEvents = 400;

using Clock = std::chrono::steady_clock;

QImage Picture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    for (int y = 0; y < kHeight; y += 64) p.fillRect(0, y, kWidth, 32, QColor(40, 90, 160));
    for (int x = 0; x < kWidth; x += 96) p.fillRect(x, 0, 48, kHeight, QColor(240, 240, 200));
    return image;
}

// Best time over the repeats of one run of `body`, in microseconds.
double Best(int repeat, const std::function<void()>& setUp, const std::function<void()>& body) {
    double best = 1e300;
    for (int r = 0; r < repeat; ++r) {
        setUp();
        const auto start = Clock::now();
        body();
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int repeat = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--repeat") == 0) repeat = std::max(1, std::atoi(argv[i + 1]));

    QApplication app(argc, argv);
    program::ProgramContext values = test_support::QuietProgram();
    frmCapture form(values);
    const test_support::EditorControls controls(form);
    const test_support::EditorControls* const ui = &controls;
    form.Form_Load();
    form.show();
    const QImage picture = Picture();
    tools::ToolSet& set = form.Tools();
    const auto load = [&] {
        form.ReplacePicture(picture, AfterReplace::Layout);
        QApplication::processEvents();
    };
    load();
    std::printf("picture %d x %d, %d events per run, best of %d runs\n", kWidth, kHeight, kEvents, repeat);

    // A stroke: press once (outside the timing: it puts the picture on the
    // clipboard), then one move per event along a zigzag.
    const auto strokeMoves = [&] {
        for (int i = 1; i <= kEvents; ++i) {
            set.CanvasMove(1, 0, static_cast<float>(20 + i * 3), static_cast<float>(100 + (i % 7) * 9));
            QApplication::processEvents();
        }
    };
    const auto press = [&](int tool) {
        form.State().SetCurrentTool(tool);
        form.State().SetCurrentColor(0x0000FFFF);
        set.CanvasPress(1, 0, 20, 100);
    };
    const auto release = [&] { set.CanvasRelease(1, 0, 20, 100); };

    double us = Best(
        repeat, [&] { press(1); }, strokeMoves);
    release();
    std::printf("highlighter segment    %8.1f us per move\n", us / kEvents);

    us = Best(
        repeat, [&] { press(5); }, strokeMoves);
    release();
    std::printf("eraser block           %8.1f us per move\n", us / kEvents);

    // Crop frame following the pointer across most of the visible canvas.
    us = Best(
        repeat,
        [&] {
            ui->cropButton.setChecked(true);
            set.CanvasPress(1, 0, 10, 10);
        },
        [&] {
            for (int i = 1; i <= kEvents; ++i) {
                set.CanvasMove(1, 0, static_cast<float>(10 + i), static_cast<float>(10 + i * 3 / 4));
                QApplication::processEvents();
            }
        });
    ui->cropButton.setChecked(false);
    set.CancelStroke();
    std::printf("crop frame move        %8.1f us per move\n", us / kEvents);

    // Hand drag over the large picture.
    us = Best(
        repeat, [&] { press(0); }, strokeMoves);
    release();
    std::printf("hand drag              %8.1f us per move\n", us / kEvents);

    // The crop release: a 6000 x 3000 selection copied, assigned, made the reference.
    us = Best(
        repeat,
        [&] {
            load();
            ui->cropButton.setChecked(true);
            set.CanvasPress(1, 0, 100, 200);
            set.CanvasMove(1, 0, 6100, 3200);
        },
        [&] { set.CanvasRelease(1, 0, 6100, 3200); });
    std::printf("crop 6000 x 3000       %8.1f ms\n", us / 1000.0);
    return 0;
}
