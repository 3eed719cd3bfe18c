// Measures the editor canvas on a large screenshot: scrolling the view (each
// step repainted) and drawing short strokes (each repainting only what it
// changed). Usage: korvel-canvas-bench [WIDTH HEIGHT] ; prints the figures.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "editor/frmCapture.h"
#include "support/EditorControls.h"
#include "support/TestProgram.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 7680;
    const int height = argc > 2 ? std::atoi(argv[2]) : 4320;

    program::ProgramContext values = test_support::QuietProgram();
    frmCapture form(values);
    const test_support::EditorControls controls(form);
    const test_support::EditorControls* const ui = &controls;
    form.Form_Load();
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    QElapsedTimer timer;
    timer.start();
    form.ReplacePicture(picture, AfterReplace::Layout);
    const double assignMs = timer.nsecsElapsed() / 1e6;
    form.show();
    QApplication::processEvents();

    // Scroll in trough steps across the whole width and height, repainting each step.
    const int steps = 400;
    timer.restart();
    for (int i = 0; i < steps; ++i) {
        ui->horizontalScroll.setValue((ui->horizontalScroll.maximum() * i) / steps);
        ui->verticalScroll.setValue((ui->verticalScroll.maximum() * i) / steps);
        form.repaint();
    }
    const double scrollMs = timer.nsecsElapsed() / 1e6 / steps;

    // Short pen strokes as the highlighter draws them, each repainted.
    ui->horizontalScroll.setValue(0);
    ui->verticalScroll.setValue(0);
    {
        canvas::PenState pen = form.State().Canvas().Pen();
        pen.DrawWidth = 3;
        form.State().Canvas().SetPen(pen);
    }
    {
        canvas::PenState pen = form.State().Canvas().Pen();
        pen.DrawMode = canvas::kDrawModeMaskPen;
        form.State().Canvas().SetPen(pen);
    }
    const int strokes = 2000;
    timer.restart();
    for (int i = 0; i < strokes; ++i) {
        const float x = 20.0f + static_cast<float>(i % 400);
        const float y = 20.0f + static_cast<float>((i / 400) * 30);
        form.State().Canvas().Line(QPointF(x, y), QPointF(x + 4, y + 2), 0x0000FFFF);
        ui->canvasView.repaint(QRect(static_cast<int>(x) - 4, static_cast<int>(y) - 4, 14, 12));
    }
    const double strokeUs = timer.nsecsElapsed() / 1e3 / strokes;

    std::printf("picture %d x %d px\n", width, height);
    std::printf("assign picture + reference + layout: %.1f ms\n", assignMs);
    std::printf("scroll step with repaint: %.3f ms (%d steps)\n", scrollMs, steps);
    std::printf("stroke segment with repaint of its rectangle: %.1f us (%d segments)\n", strokeUs, strokes);
    return 0;
}
