// An editor window with a known picture, driven through its canvas as a user
// would: mouse events on Picture2, keys on the focused control.
#pragma once

#include <QImage>
#include <QPainter>
#include <QTest>

#include "support/EditorWindowFixture.h"

namespace tools2_test {

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
    void ReleaseLeftOver(Qt::MouseButton b) override { QTest::mouseRelease(&Canvas(), b, {}, QPoint(1, 1)); }

    // Mouse on the canvas, positions in canvas pixels.
    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NotOrigin(x, y);
        NoteHeld(b);
        QTest::mousePress(&Canvas(), b, mods, QPoint(x, y));
    }
    void MoveTo(int x, int y) {
        NotOrigin(x, y);
        QTest::mouseMove(&Canvas(), QPoint(x, y));
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        NotOrigin(x, y);
        NoteReleased(b);
        QTest::mouseRelease(&Canvas(), b, {}, QPoint(x, y));
    }
    void Stroke(std::initializer_list<QPoint> points) {
        auto it = points.begin();
        Press(it->x(), it->y());
        QPoint last = *it;
        for (++it; it != points.end(); ++it) {
            MoveTo(it->x(), it->y());
            last = *it;
        }
        Release(last.x(), last.y());
    }

  private:
    // QTest sends an event at (0, 0) to the middle of the widget instead.
    static void NotOrigin(int x, int y) {
        if (x == 0 && y == 0) ADD_FAILURE() << "QTest cannot deliver a mouse event at (0, 0)";
    }
};

}  // namespace tools2_test
