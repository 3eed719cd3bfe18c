// Replays shape drags on a 7680 x 4320 canvas and prints the time per mouse
// move of the rubber band (erase the last preview, draw the new one, repaint
// the changed area), for the arrow and the ellipse. Also prints the press,
// which puts the whole canvas on the clipboard as the undo snapshot.
//
//   korvel-stroke-bench [moves]      (default 500; runs offscreen without a display)
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "editor/frmCapture.h"
#include "support/TestProgram.h"
#include "tools/ToolSet.h"

namespace {

QImage BigPicture() {
    QImage image(7680, 4320, QImage::Format_RGB32);
    QPainter p(&image);
    for (int y = 0; y < image.height(); y += 60) {
        p.fillRect(0, y, image.width(), 60, QColor::fromHsv((y / 60 * 23) % 360, 120, 230));
    }
    for (int x = 0; x < image.width(); x += 240) p.fillRect(x, 0, 2, image.height(), Qt::darkGray);
    return image;
}

struct Result {
    double pressMs = 0;
    double moveMeanUs = 0;
    double moveMedianUs = 0;
    double moveMaxUs = 0;
    double releaseMs = 0;
};

Result Replay(frmCapture& form, int tool, int moves) {
    tools::ToolSet& set = form.Tools();
    form.State().SetCurrentTool(tool);
    const QPointF start(1200, 900);
    Result r;
    QElapsedTimer t;
    t.start();
    set.CanvasPress(1, 0, static_cast<float>(start.x()), static_cast<float>(start.y()));
    QApplication::processEvents();
    r.pressMs = t.nsecsElapsed() / 1e6;

    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(moves));
    for (int i = 1; i <= moves; ++i) {
        // A sweeping drag out to about 5000 x 2900 pixels, with some wobble.
        const double f = static_cast<double>(i) / moves;
        const float x = static_cast<float>(start.x() + 5000 * f + 40 * std::sin(i * 0.3));
        const float y = static_cast<float>(start.y() + 2900 * f * f + 40 * std::cos(i * 0.2));
        t.restart();
        set.CanvasMove(1, 0, x, y);
        QApplication::processEvents();  // the repaint of the changed area
        us.push_back(t.nsecsElapsed() / 1e3);
    }
    t.restart();
    set.CanvasRelease(1, 0, static_cast<float>(start.x() + 5000), static_cast<float>(start.y() + 2900));
    QApplication::processEvents();
    r.releaseMs = t.nsecsElapsed() / 1e6;

    double sum = 0;
    for (double v : us) sum += v;
    r.moveMeanUs = sum / static_cast<double>(us.size());
    std::sort(us.begin(), us.end());
    r.moveMedianUs = us[us.size() / 2];
    r.moveMaxUs = us.back();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    const int moves = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    program::ProgramContext values = test_support::QuietProgram();
    frmCapture form(values);
    form.Form_Load();
    form.resize(1280, 1000);
    form.show();
    form.ReplacePicture(BigPicture(), AfterReplace::Layout);
    QApplication::processEvents();

    std::printf("canvas %d x %d, %d moves per drag\n", form.State().Canvas().Image().width(),
                form.State().Canvas().Image().height(), moves);
    const struct {
        int tool;
        const char* name;
    } runs[] = {{3, "arrow"}, {2, "ellipse"}};
    for (const auto& run : runs) {
        const Result r = Replay(form, run.tool, moves);
        std::printf("%-7s press %.1f ms | move mean %.0f us, median %.0f us, max %.0f us | release %.1f ms\n",
                    run.name, r.pressMs, r.moveMeanUs, r.moveMedianUs, r.moveMaxUs, r.releaseMs);
    }
    return 0;
}
