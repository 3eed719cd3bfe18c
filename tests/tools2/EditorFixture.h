// An editor window with a known picture, driven through its canvas as a user
// would: mouse events on Picture2, keys on the focused control.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <memory>

#include "app/AppModul.h"
#include "app/WindowHelpers.h"
#include "editor/frmCapture.h"

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

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        app::SetMessageSinkForTests([](const QString&, int, const QString&) {});
        form = std::make_unique<frmCapture>();
        app::G().editor = form.get();
        form->Form_Load();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Load(TestPicture());
    }

    void TearDown() override {
        // Leave no button held for the next test.
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            if (held_ & b) QTest::mouseRelease(&form->Picture2, b, {}, QPoint(1, 1));
        }
        app::G().editor = nullptr;
        form.reset();
        app::SetMessageSinkForTests({});
    }

    // Replaces the picture the way a paste does.
    void Load(const QImage& picture) {
        form->SetAssignedPicture(picture);
        form->SetUndoPictureFromCanvas();
        form->Form_Resize();
        QApplication::processEvents();
    }

    PictureBox& Canvas() { return form->Picture2; }
    QRgb Pixel(int x, int y) { return Canvas().Image().pixel(x, y) & 0xFFFFFF; }

    // Mouse on the canvas, positions in canvas pixels.
    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        NotOrigin(x, y);
        held_ |= b;
        QTest::mousePress(&Canvas(), b, mods, QPoint(x, y));
    }
    void MoveTo(int x, int y) {
        NotOrigin(x, y);
        QTest::mouseMove(&Canvas(), QPoint(x, y));
    }
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        NotOrigin(x, y);
        held_ &= ~Qt::MouseButtons(b);
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

    std::unique_ptr<frmCapture> form;

  private:
    // QTest sends an event at (0, 0) to the middle of the widget instead.
    static void NotOrigin(int x, int y) {
        if (x == 0 && y == 0) ADD_FAILURE() << "QTest cannot deliver a mouse event at (0, 0)";
    }

    Qt::MouseButtons held_;
};

}  // namespace tools2_test
