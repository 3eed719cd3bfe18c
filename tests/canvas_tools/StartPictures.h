// The pictures the canvas and tools tests start from, each with the editor
// window fixture that opens on it.
#pragma once

#include <QClipboard>
#include <QImage>
#include <QPainter>

#include "support/EditorWindowFixture.h"
#include "support/TestPictures.h"
#include "tools/TextTool.h"

namespace tools2_test {

using test_support::SameCursor;
using test_support::SamePixels;

// 200 x 150: white on the left, a black band (x 60..79), blue on the right
// (x >= 80), and a grey square (x 150..169, y 100..119) for crop checks.
inline QImage TestPicture(int width = 200, int height = 150) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(60, 0, 20, height), Qt::black);
    p.fillRect(QRect(80, 0, width - 80, height), QColor(0, 0, 255));
    p.fillRect(QRect(150, 100, 20, 20), QColor(0x80, 0x80, 0x80));
    // A pixel pattern that tells every position apart in the top rows.
    for (int x = 0; x < width; ++x) image.setPixel(x, 0, qRgb(x & 0xFF, (x >> 8) & 0xFF, 7));
    return image;
}

class EditorFixture : public test_support::EditorWindowFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

}  // namespace tools2_test

namespace tools_test {

using test_support::SameCursor;
using test_support::SamePixels;

// 300 x 220, black (the canvas background) on the left half so the XOR pen
// shows the true colour there, and a pattern on the right half in which every
// pixel differs from its neighbours.
inline QImage TestPicture() {
    QImage image(300, 220, QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 150; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    }
    return image;
}

class ToolsFixture : public test_support::EditorWindowFixture {
  protected:
    QImage StartPicture() const override { return TestPicture(); }
};

}  // namespace tools_test
