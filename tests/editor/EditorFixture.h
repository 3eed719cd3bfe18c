// A fresh editor window per test, with its settings file in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "dialogs/frmPicSelect.h"
#include "editor/frmCapture.h"
#include "program/ProgramValues.h"
#include "support/ProgramSandbox.h"
#include "widgets/WindowHelpers.h"

namespace editor_test {

inline QImage Solid(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A picture whose pixels differ from place to place, so copies can be told apart.
inline QImage Pattern(int width, int height, int seed = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5) & 255, (x + y + seed * 3) & 255));
    }
    return image;
}

inline bool SamePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

inline QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

inline void WriteText(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

class EditorTest : public test_support::ProgramSandboxTest {
  protected:
    void SetUp() override {
        ProgramSandboxTest::SetUp();
        folder = home;
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override {
        form.reset();
        ProgramSandboxTest::TearDown();
    }

    frmCapture& MakeForm() {
        form = std::make_unique<frmCapture>();
        form->Form_Load();
        return *form;
    }

    // Acts on the picture picker once the load command has opened it.
    void WhenPickerOpens(std::function<void(frmPicSelect&)> act) {
        auto* poll = new QTimer(form.get());  // owned by the editor window
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* picker = qobject_cast<frmPicSelect*>(window); picker && picker->isVisible()) {
                    poll->stop();
                    act(*picker);
                    return;
                }
            }
        });
        poll->start();
    }

    QString folder;
    std::unique_ptr<frmCapture> form;
};

}  // namespace editor_test
